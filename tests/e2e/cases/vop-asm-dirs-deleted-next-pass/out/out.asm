	nop
	mov	r1 ,r2
L9:
	nop
	nop
