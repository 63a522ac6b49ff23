# hash comment
# trailing
	move r1 ,r2	
/* block
   more */
	move a b,c
	anything here
	nop ;not a comment
