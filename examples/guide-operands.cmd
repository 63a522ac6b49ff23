qvpeep +s rls=guide-operands guide-operands.asm guide-operands.out
