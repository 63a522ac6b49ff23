; copy-through-reg: another register overwriting r12 lets the value move
; directly.  Registers match in lower case only: "mov R12, r12" names r12
; itself, so r12 must still receive 5.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x3333, 2(r1)
	mov	#0x0777, r15
	mov	#1, r12
	add	#0, r12
	mov	2(r1), r12
	mov	r12, 0(r1)
	mov	r15, r12
	mov	r12, &result
	mov	0(r1), &result+2
	add	#0, r12
	mov	#5, r12
	mov	r12, 2(r1)
	mov	R12, r12
	mov	r12, &result+4
	mov	2(r1), &result+6
	add	#4, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
