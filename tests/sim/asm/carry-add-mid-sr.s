; carry-add-mid: the high words are added between the idiom and the carry.
; The add in between may not read sr: "add r2, r13" sees the compare's
; flags, which the rewritten code would no longer have.
	.text
	.globl	main
	.p2align	1
main:
	mov	#0x8000, r12
	mov	#0x0010, r13
	mov	#0x9000, r14
	mov	#0x0020, r15
	add	r14, r12
	cmp	r14, r12
	mov	#1, r14
	bic	r2, r14
	add	r15, r13
	add	r14, r13
	mov	r2, &result
	mov	r12, &result+2
	mov	r13, &result+4
	mov	r14, &result+6
	mov	#0x0001, r12
	mov	#0x0010, r13
	mov	#0x0002, r14
	add	r14, r12
	cmp	r14, r12
	mov	#1, r14
	bic	r2, r14
	add	r2, r13
	add	r14, r13
	mov	r12, &result+8
	mov	r13, &result+10
	mov	r14, &result+12
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
