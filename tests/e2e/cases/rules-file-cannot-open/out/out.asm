	inc	r5
	jeq	L1
	sub	r4,r6
	jn	L2
