; const-store-reload: a constant that names the location counter has the
; address of the instruction it stands in, so a reload two instructions on
; is not the same constant.
	.text
	.globl	main
	.p2align	1
main:
	sub	#2, r1
.Lc1:
	mov	#., 0(r1)
	mov	0(r1), r12
	sub	#.Lc1, r12
	mov	r12, &result
	add	#2, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
