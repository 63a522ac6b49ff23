	add	#1,r5
	nop
