qvpeep +s +zo +zo rls=guide-order guide-order.asm guide-trace.out
