	mov	r1,r2
	ret
