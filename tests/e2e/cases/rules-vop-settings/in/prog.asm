# hash comment
	mov	r1 ,r2	# trailing
/* block
   more */
	mov	a b,c
	.asm
	anything here
	.endasm
	nop ;not a comment
