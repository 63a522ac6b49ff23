; Countdown with a status byte, as a compiler might emit it.
	.text
	.globl	countdown
countdown:
	mov	#10,r15
.Lloop:
	dec	r15
	cmp	#0x0,r15
	jne	.Lloop
	and.b	#0x0f,r14	; low nibble only
	cmp	#0x0,r14
	jeq	.Ldone
	add	r14,r13
	cmp	#0x0,r13
	jn	.Lneg
	xor	#0x1,r12
	cmp	#0x0,r12
	jz	.Ldone
	mov	r12,r11
.Lneg:
	inv	r13
.Ldone:
	ret
