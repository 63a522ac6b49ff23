; clrc-dead, clrc-dead-unary: the operation moves up when the clrc goes, so
; an operand naming the location counter would name another address (the
; unary case writes its own extension word, read back afterwards).
	.text
	.globl	main
	.p2align	1
main:
	mov	#3, r13
.Ld1:
	clrc
	add	#., r13
	sub	#.Ld1, r13
	mov	r13, &result
.Ld2:
	clrc
	inc	&.+2
	mov	&.Ld2+4, r12
	sub	#.Ld2, r12
	mov	r12, &result+2
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
