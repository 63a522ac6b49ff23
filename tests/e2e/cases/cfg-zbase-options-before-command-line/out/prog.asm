	mov	r1,r2
	nop
	mov	r3,r4
