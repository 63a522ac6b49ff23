; copy-through: the overwriting move moves up when the middle one goes, so
; a source naming the location counter would load another address.
	.text
	.globl	main
	.p2align	1
main:
.Lt1:
	mov	#5, r12
	mov	r12, r13
	mov	#., r12
	sub	#.Lt1, r12
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
