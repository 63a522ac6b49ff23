L1:
/* c */
	mov	r1 
	add	r3
/* c */
	mov	r1 
L2:
/* c
 x */
	mov	r1 
	sub	r4
