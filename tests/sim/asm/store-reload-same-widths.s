; store-reload-same: a word reload right after a word store of the same
; register is dropped (lower and upper case).  A byte reload after a word
; store clears the upper byte and must stay.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x1234, r12
	mov	#0x5678, r13
	mov	#0x4321, r15
	add	#0, r12
	mov	r12, 0(r1)
	mov	0(r1), r12
	mov	r12, &result
	mov	r13, 2(r1)
	mov.b	2(r1), r13
	mov	r13, &result+2
	MOV.W	R15,0(R1)
	MOV.W	0(R1), R15
	mov	r15, &result+4
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
