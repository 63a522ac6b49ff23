	d	r4
