; load-op: a value loaded into r12 only to be an operand, with r12
; overwritten next (by a constant, a slot or another register), becomes the
; operation's own source.  A byte load before a word operation is left: the
; word source would read the byte after it too.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x0123, 2(r1)
	mov	#0x0300, r13
	mov	#0x0077, r15
	add	#0, r12
	mov	2(r1), r12
	add	r12, r13
	mov	#0, r12
	mov	r2, &result
	mov	&word, r12
	sub	r12, r13
	mov	2(r1), r12
	mov	r2, &result+2
	mov	#0x0f0f, r12
	and	r12, r13
	mov	r15, r12
	mov	r2, &result+4
	mov.b	&word, r14
	add	r14, r15
	mov	#0, r14
	mov	r12, &result+6
	mov	r13, &result+8
	mov	r14, &result+10
	mov	r15, &result+12
	add	#4, r1
	clr	r12
	ret

	.data
	.p2align	1
word:
	.short	0x5a81

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
