	nop
	.asm
	mov	r1 , r2
L9:	nop
	.endasm
	nop
