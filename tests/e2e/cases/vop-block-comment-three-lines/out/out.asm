	nop
/* first
   second
   third */
	mov	r1,r2
