	dec	r5
	cmp	#0x0,r5
	jne	L1
