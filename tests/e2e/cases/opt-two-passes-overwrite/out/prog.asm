	c	r3
	d	r4
