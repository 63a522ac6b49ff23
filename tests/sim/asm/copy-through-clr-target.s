; copy-through-clr: clr r12 overwrites r12, so the value moves directly.
; "clr 0(r12)" clears memory through r12 and overwrites nothing: r12 must
; still hold buf and the clear must hit buf.
	.text
	.globl	main
	.p2align	1
main:
	sub	#8, r1
	mov	#0x2222, 2(r1)
	add	#0, r12
	mov	2(r1), r12
	mov	r12, 4(r1)
	clr	r12
	mov	r12, &result
	mov	4(r1), &result+2
	mov	#buf2, r12
	add	#0, r12
	mov	#buf, r12
	mov	r12, 6(r1)
	clr	0(r12)
	mov	r12, &result+4
	mov	&buf, &result+6
	mov	&buf2, &result+8
	add	#8, r1
	clr	r12
	ret

	.data
	.p2align	1
buf:
	.short	0x0101
buf2:
	.short	0x0404

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
