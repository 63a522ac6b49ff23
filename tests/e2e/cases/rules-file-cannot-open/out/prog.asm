	inc	r5
	cmp	#0x0,r5
	jeq	L1
	sub	r4,r6
	cmp	#0x0,r6
	jn	L2
