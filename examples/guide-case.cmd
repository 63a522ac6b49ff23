qvpeep +s rls=guide-case guide-case.asm guide-case.out
