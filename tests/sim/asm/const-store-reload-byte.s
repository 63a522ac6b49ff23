; const-store-reload: a constant stored to a slot and read back is loaded
; directly.  A byte constant read back as a word takes the slot's old upper
; byte with it.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x7777, 0(r1)
	add	#0, r12
	mov	#0x1234, 2(r1)
	mov	2(r1), r13
	mov	r13, &result
	mov.b	#0x56, 0(r1)
	mov	0(r1), r14
	mov	r14, &result+2
	mov.b	#0x9a, 2(r1)
	mov.b	2(r1), r15
	mov	r15, &result+4
	add	#4, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
