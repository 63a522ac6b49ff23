	nop
	spin	r1
