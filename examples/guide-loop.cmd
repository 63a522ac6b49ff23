qvpeep +s rls=guide-loop guide-loop.asm guide-loop.out
