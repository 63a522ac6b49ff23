; clrc-dead-unary: a clrc before rra, which sets every flag and reads none,
; goes.  Before rrc the carry is shifted in; swpb sets no flag.
	.text
	.globl	main
	.p2align	1
main:
	mov	#0x0003, r12
	mov	#0x0004, r13
	mov	#0x1234, r14
	setc
	clrc
	rra	r12
	mov	r2, &result
	setc
	clrc
	rrc	r13
	mov	r2, &result+2
	setc
	clrc
	swpb	r14
	mov	r2, &result+4
	mov	r12, &result+6
	mov	r13, &result+8
	mov	r14, &result+10
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
