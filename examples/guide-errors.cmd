qvpeep rls=guide-errors guide-first.asm guide-errors.out
