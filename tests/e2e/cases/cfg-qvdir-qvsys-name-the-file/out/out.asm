	mov	r1,r2
