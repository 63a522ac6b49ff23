; load-op-guard-move: "mov r, r" after the operation overwrites nothing, so
; r must still receive the loaded value: r12 ends as 5, not 1.
	.text
	.globl	main
	.p2align	1
main:
	mov	#1, r12
	mov	#0x0100, r13
	add	#0, r12
	mov	#5, r12
	add	r12, r13
	mov	r12, r12
	mov	r12, &result
	mov	r13, &result+2
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
