	xor	r1,r2
	xor	r2,r1
	nop
	nop
