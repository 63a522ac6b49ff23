	tst	r12
	jne	.LBB0_2
	jmp	.LBB0_3
.LBB0_2:                                ; from the jne
	mov	#1,r13
	jmp	.LBB0_3
.LBB0_4:
	mov	#2,r13
.LBB0_3:
	mov	r13,r12
	ret
