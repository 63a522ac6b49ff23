	swap	r1,r2
	nop
	nop
