; store-reload-byte: a byte reload after a byte store keeps the low byte and
; clears the upper one, as mov.b r, r does; dropping it would keep the upper
; byte.  A word reload after a byte store reads the slot's old upper byte.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x9abc, r14
	mov	#0x1234, r12
	mov	#0x7777, 2(r1)
	add	#0, r14
	mov.b	r14, 0(r1)
	mov.b	0(r1), r14
	mov	r14, &result
	mov.b	r12, 2(r1)
	mov	2(r1), r13
	mov	r13, &result+2
	add	#4, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
