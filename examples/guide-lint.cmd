qvpeep +s +lint rls=guide-lint guide-passes.asm
