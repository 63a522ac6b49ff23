; load-op-guard: in "op r, r" after a load into r both operands are the
; loaded value; the flags of cmp 5, 5 are not those of cmp 5 with r's old
; value, even though r is overwritten next, by a constant or by another
; register.
	.text
	.globl	main
	.p2align	1
main:
	mov	#9, r12
	add	#0, r12
	mov	#5, r12
	cmp	r12, r12
	mov	#0, r12
	mov	r2, &result
	mov	#0x7000, r13
	add	#0, r13
	mov	#0x4000, r13
	add	r13, r13
	mov	#0, r13
	mov	r2, &result+2
	mov	#1, r14
	mov	#0x4000, r14
	add	r14, r14
	mov	r15, r14
	mov	r2, &result+8
	mov	r12, &result+4
	mov	r13, &result+6
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
