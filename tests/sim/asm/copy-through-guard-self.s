; copy-through-guard: "mov r, r" does not overwrite r with anything new, so
; the value copied through r must still reach r: r12 ends as 5, not 1.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#1, r12
	add	#0, r12
	mov	#5, r12
	mov	r12, 0(r1)
	mov	r12, r12
	mov	r12, &result
	mov	0(r1), &result+2
	add	#4, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
