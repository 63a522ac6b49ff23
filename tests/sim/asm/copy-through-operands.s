; copy-through: a value moved through r12 into a slot or a register, with
; r12 overwritten next, moves directly.  Not where the destination or the
; overwriting source is addressed through r12 (its old value would be
; used), and not from a byte load into a word store (the store clears the
; slot's upper byte).
	.text
	.globl	main
	.p2align	1
main:
	sub	#8, r1
	mov	#0x1111, 2(r1)
	mov	#-1, 6(r1)
	mov	#-1, r14
	add	#0, r12
	mov	2(r1), r12
	mov	r12, 4(r1)
	mov	#7, r12
	mov	&word, r13
	mov	r13, r14
	mov	#0, r13
	mov	r14, &result
	mov	4(r1), &result+2
	mov	#buf2, r12
	add	#0, r12
	mov	#buf, r12
	mov	r12, 2(r12)
	mov	#0, r12
	mov	#buf2, r12
	add	#0, r12
	mov	#buf, r12
	mov	r12, 0(r1)
	mov	4(r12), r12
	mov	r12, &result+4
	mov.b	&word, r13
	mov	r13, 6(r1)
	mov	#0, r13
	mov	6(r1), &result+6
	mov	&buf+2, &result+8
	mov	&buf2+2, &result+10
	add	#8, r1
	clr	r12
	ret

	.data
	.p2align	1
word:
	.short	0xa55a
buf:
	.short	0x0101, 0x0202, 0x0303
buf2:
	.short	0x0404, 0x0505, 0x0606

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
