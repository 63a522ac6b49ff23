	mov	#0,r5
	MOV.W	#0,R6
	Mov	#0,r15
	mov	#0,r3
	add	#1,r7
	ADD	#1,r8
