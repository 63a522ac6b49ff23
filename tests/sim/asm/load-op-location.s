; load-op: the overwriting move moves up when the load goes, so a source
; naming the location counter would load another address.
	.text
	.globl	main
	.p2align	1
main:
	mov	#0x10, r13
.Ll1:
	mov	#7, r12
	add	r12, r13
	mov	#., r12
	sub	#.Ll1, r12
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
