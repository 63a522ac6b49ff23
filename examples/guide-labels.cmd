qvpeep +s rls=guide-labels guide-labels.asm guide-labels.out
