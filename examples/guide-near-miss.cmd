qvpeep +s rls=guide-incd guide-near-miss.s guide-near-miss.out
