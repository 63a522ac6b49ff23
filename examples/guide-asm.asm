	nop
	.asm
	nop
L1:	nop
	.endasm
	nop
