; clr-store-reload: a cleared slot read back is a cleared register.  After
; clr.b a word reload still sees the slot's upper byte.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x7777, 0(r1)
	mov	#0x5555, 2(r1)
	mov	#-1, r13
	mov	#-1, r14
	add	#0, r12
	clr	2(r1)
	mov	2(r1), r13
	mov	r13, &result
	clr.b	0(r1)
	mov	0(r1), r14
	mov	r14, &result+2
	add	#4, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
