qvpeep +s +zr rls=guide-order guide-order.asm guide-listing.out
