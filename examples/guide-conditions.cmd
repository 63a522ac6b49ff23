qvpeep +s rls=guide-conditions guide-conditions.asm guide-conditions.out
