	mov	r1,r2
	mov	r3,r4
