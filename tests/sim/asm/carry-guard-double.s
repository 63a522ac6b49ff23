; carry-guard: after "add r, r" the compare "cmp r, r" sees the sum twice
; and always sets the carry, so the idiom yields 0 here, not the carry out
; of the doubling (0x8001 + 0x8001 carries).
	.text
	.globl	main
	.p2align	1
main:
	mov	#0x8001, r12
	mov	#0x0100, r13
	mov	#7, r14
	add	r12, r12
	cmp	r12, r12
	mov	#1, r14
	bic	r2, r14
	add	r14, r13
	mov	r2, &result
	mov	r12, &result+2
	mov	r13, &result+4
	mov	r14, &result+6
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
