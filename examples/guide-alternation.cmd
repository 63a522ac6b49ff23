qvpeep +s rls=guide-alternation guide-alternation.asm guide-alternation.out
