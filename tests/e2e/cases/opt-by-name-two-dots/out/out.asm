		r5
	
	nop
