	zap
	nop
	spin	r1
