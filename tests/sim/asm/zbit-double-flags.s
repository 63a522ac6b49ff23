; zbit-double: rra / and #1 / add doubles bit 1 of the register back in
; place; the rewrite must leave the carry clear as the add did (and #2 alone
; would set it for a zero result), with or without a flag setter after it.
	.text
	.globl	main
	.p2align	1
main:
	mov	#0x0006, r12
	mov	#0x0005, r13
	mov	#0x0001, r14
	rra	r12
	and	#1, r12
	add	r12, r12
	mov	r2, &result
	rra	r13
	and	#1, r13
	add	r13, r13
	mov	r2, &result+2
	rra	r14
	and	#1, r14
	add	r14, r14
	add	r14, r14
	mov	r2, &result+4
	mov	r12, &result+6
	mov	r13, &result+8
	mov	r14, &result+10
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
