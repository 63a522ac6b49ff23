qvpeep +s rls=guide-numbers guide-numbers.asm guide-numbers.out
