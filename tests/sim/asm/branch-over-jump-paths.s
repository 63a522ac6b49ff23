; branch-over-jump: jne and jeq, both ways on for a zero and a non-zero
; value, and a branch whose label is not the one after the jump.
	.text
	.globl	main
	.p2align	1
main:
	clr	r13
	mov	#result, r14
.LBB0_1:
	mov	#1, r12
	tst	r13
	jne	.LBB0_2
	jmp	.LBB0_3
.LBB0_2:
	mov	#2, r12
.LBB0_3:
	tst	r13
	jeq	.LBB0_7
	jmp	.LBB0_8
.LBB0_7:
	add	#16, r12
.LBB0_8:
	mov	r12, 0(r14)
	tst	r13
	jne	.LBB0_5
	jmp	.LBB0_4
.LBB0_6:
	add	#4, r12
.LBB0_4:
	add	#8, r12
.LBB0_5:
	mov	r12, 2(r14)
	add	#4, r14
	inc	r13
	cmp	#3, r13
	jne	.LBB0_1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
