	mov	#0,r12
	MOV.W	#0,R13
	mov.b	#0,r14
