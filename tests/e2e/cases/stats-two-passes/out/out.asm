	mov	r1,r2
	add	#1,r3
