qvpeep +s +stats rls=guide-passes guide-passes.asm guide-passes.out
