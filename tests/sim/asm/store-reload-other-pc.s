; store-reload-other: the reload into another register becomes a register
; copy.  Not for a byte store before a word reload (the slot's upper byte is
; read), and not for pc, whose value depends on where the copy stands: the
; distance between two reads of pc must stay 8.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x2468, r12
	mov	#0x7777, 2(r1)
	add	#0, r12
	mov	r12, 0(r1)
	mov	0(r1), r13
	mov	r13, &result
	mov.b	r12, 2(r1)
	mov	2(r1), r14
	mov	r14, &result+2
	mov	r0, 2(r1)
	mov	2(r1), r13
	mov	r0, r14
	sub	r13, r14
	mov	r14, &result+4
	add	#4, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
