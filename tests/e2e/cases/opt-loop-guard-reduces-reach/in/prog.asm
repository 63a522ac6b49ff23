	a	r1
	b	r2
	a	r3
	b	r4
