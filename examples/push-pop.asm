	push	r10
	pop	r11
	inc	r12
	inc	r12
