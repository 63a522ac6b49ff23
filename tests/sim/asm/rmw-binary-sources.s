; rmw-binary: load, operation with a register, constant, slot or absolute
; source, store back becomes the operation on the slot, carry in and out
; kept (addc after an add that carries).  Not for a source addressed
; through the loaded register: 2(r12) must be read with the loaded pointer.
	.text
	.globl	main
	.p2align	1
main:
	sub	#8, r1
	mov	#0xfff0, 0(r1)
	mov	#0x0100, 2(r1)
	mov	#tab, 4(r1)
	mov	#0x0020, r13
	mov	#tab2, r12
	add	#0, r12
	mov	0(r1), r12
	add	r13, r12
	mov	r12, 0(r1)
	mov	2(r1), r14
	addc	#5, r14
	mov	r14, 2(r1)
	mov	r2, &result
	mov	2(r1), r15
	sub	0(r1), r15
	mov	r15, 2(r1)
	mov	r2, &result+2
	mov	0(r1), r15
	xor	&tab, r15
	mov	r15, 0(r1)
	mov	r2, &result+4
	mov	#tab2, r12
	add	#0, r12
	mov	4(r1), r12
	add	2(r12), r12
	mov	r12, 4(r1)
	mov	0(r1), &result+6
	mov	2(r1), &result+8
	mov	4(r1), &result+10
	mov	r14, &result+12
	mov	r15, &result+14
	add	#8, r1
	clr	r12
	ret

	.data
	.p2align	1
tab:
	.short	0x0011, 0x0022
tab2:
	.short	0x0033, 0x0044

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
