; rmw-binary: the operation moves to where the load stood, so a source
; naming the location counter, as a constant or as an absolute address
; (here the instruction's own extension word), would change its value.
	.text
	.globl	main
	.p2align	1
main:
	sub	#2, r1
	mov	#1, 0(r1)
.Lr1:
	mov	0(r1), r12
	add	#., r12
	mov	r12, 0(r1)
	clr	r12
	mov	0(r1), r13
	sub	#.Lr1, r13
	mov	r13, &result
	mov	#1, 0(r1)
.Lr2:
	mov	0(r1), r12
	add	&.+2, r12
	mov	r12, 0(r1)
	clr	r12
	mov	0(r1), r13
	sub	#.Lr2, r13
	mov	r13, &result+2
	add	#2, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
