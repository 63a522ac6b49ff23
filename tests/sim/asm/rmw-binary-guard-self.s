; rmw-binary-guard: in "op r, r" between a load and a store of the slot the
; source is the loaded value, so the operation cannot move onto the slot
; with r's old value: 0x0101 + 0x0101, and a byte xor with itself.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x0101, 0(r1)
	mov	#0x3355, 2(r1)
	mov	#3, r12
	mov	#0x0f, r13
	add	#0, r12
	mov	0(r1), r12
	add	r12, r12
	mov	r12, 0(r1)
	mov.b	2(r1), r13
	xor.b	r13, r13
	mov.b	r13, 2(r1)
	mov	r2, &result
	mov	r12, &result+2
	mov	r13, &result+4
	mov	0(r1), &result+6
	mov	2(r1), &result+8
	add	#4, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
