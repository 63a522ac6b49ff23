qvpeep +s rls=guide-asm guide-asm.asm guide-asm.out
