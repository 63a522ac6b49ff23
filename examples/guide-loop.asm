	tst	r12
	jeq	.Lzero
