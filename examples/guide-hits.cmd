qvpeep +s +hits rls=guide-hits guide-passes.asm guide-hits.out
