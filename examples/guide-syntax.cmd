qvpeep +s rls=guide-syntax guide-syntax.asm guide-syntax.out
