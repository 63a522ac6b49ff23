	mov	r12,r13
LM1:
	mov	r13,r12
	add	r12,r14
LM2a:
	mov	r14,r15
DBG1:
	mov	r15,r14
