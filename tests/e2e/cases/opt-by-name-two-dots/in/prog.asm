	inc	r5
	nop
