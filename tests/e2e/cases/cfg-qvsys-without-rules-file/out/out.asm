	dec	r5
	jne	L1
