qvpeep +s rls=guide-survive guide-survive.asm guide-survive.out
