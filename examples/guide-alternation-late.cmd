qvpeep +s rls=guide-alternation-late guide-alternation.asm guide-alternation-late.out
