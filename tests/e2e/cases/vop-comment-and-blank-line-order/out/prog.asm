	a
   ; note
	b
	c

	d
