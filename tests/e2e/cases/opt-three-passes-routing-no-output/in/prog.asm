	a	r1
	b	r2
	c	r3
	d	r4
