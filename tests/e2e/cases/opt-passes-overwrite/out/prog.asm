	d	r1
	d	r2
	d	r3
	d	r4
