	nop
/* open
	mov	r1,r2
