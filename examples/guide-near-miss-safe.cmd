qvpeep +s rls=guide-incd-safe guide-near-miss.s guide-near-miss-safe.out
