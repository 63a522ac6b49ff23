	mov	r5,r12
	mov	#0x0,r12
	mov	#7,r13
	mov	#00,r13
	mov	r6,r14
	add	r14,r15
