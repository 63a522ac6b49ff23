qvpeep +s rls=guide-first guide-first.asm guide-first.out
