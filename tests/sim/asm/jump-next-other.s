; jump-next: the jump goes to a label past the next one, over the move
; between them: r12 ends as 1, not 2.
	.text
	.globl	main
	.p2align	1
main:
	mov	#1, r12
	jmp	.LBB0_2
.LBB0_1:                                ; a label of its own
	mov	#2, r12
.LBB0_2:
	mov	r12, &result
	jmp	.LBB0_3
.LBB0_3:
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
