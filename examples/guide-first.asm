; Compiler output with two round trips.
	.text
	.global	keep
keep:
	mov	r12,r13
	mov	r13,r12
	push	r10
	pop	r10
	mov	r14, r15
	mov	r15,r12
	push	r11
	pop	r9
	ret
