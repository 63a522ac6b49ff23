	mov	r5,r12
	mov	#0,r12
	mov	#0,r13
