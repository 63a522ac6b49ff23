qvpeep +s -dbg rls=guide-debug-labels guide-debug-labels.asm guide-debug-labels-off.out
