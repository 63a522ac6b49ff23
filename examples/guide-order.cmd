qvpeep +s rls=guide-order guide-order.asm guide-order.out
