	mov	r1,r2
	nop
	ret
