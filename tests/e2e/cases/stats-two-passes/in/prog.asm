	push	r1
	pop	r2
	inc	r3
	nop
