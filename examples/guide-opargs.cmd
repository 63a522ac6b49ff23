qvpeep +s +zo rls=guide-order guide-order.asm guide-opargs.out
