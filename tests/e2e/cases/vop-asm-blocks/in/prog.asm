   .text
	.asm
   .text
  .asm
   ; note

L1:	mov r1 , r2
	.endasm
	nop
	.endasm
  .text ; section
	mov r1 , r2
