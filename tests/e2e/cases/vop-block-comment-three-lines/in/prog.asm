	nop
   /* first
   second
   third */ ignored
	mov	r1,r2
