; carry-add-store: the low word is stored between the compare and the
; carry, through the addend's register, which then takes the carry: the
; store must still use the pointer, before the register is cleared.
	.text
	.globl	main
	.p2align	1
main:
	mov	#0xff00, r12
	mov	#0x0003, r13
	mov	#buf, r14
	mov	#0x0100, r15
	add	r14, r12
	cmp	r14, r12
	mov	r12, 0(r14)
	mov	#1, r14
	bic	r2, r14
	add	r15, r13
	add	r14, r13
	mov	r2, &result
	mov	r12, &result+2
	mov	r13, &result+4
	mov	r14, &result+6
	mov	&buf, &result+8
	clr	r12
	ret

	.bss
	.p2align	1
buf:
	.zero	2

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
