qvpeep +s rls=guide-debug-labels guide-debug-labels.asm guide-debug-labels.out
