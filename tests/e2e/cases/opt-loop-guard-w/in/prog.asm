	spin	r1
	spin	r2
	stop
