; mov-byte-narrow: only a register source; an autoincrement source steps a
; word, and a byte copy into another register leaves the word copy needed.
	.text
	.globl	main
	.p2align	1
main:
	mov	#0x1234, r12
	mov	r12, r13
	mov.b	r13, r13
	mov	r13, &result
	mov	#data, r14
	mov	@r14+, r15
	mov.b	r15, r15
	mov	r15, &result+2
	mov	r14, &result+4
	mov	r12, r11
	mov.b	r11, r10
	mov	r11, &result+6
	mov	r10, &result+8
	clr	r12
	ret

	.data
	.p2align	1
data:
	.short	0x5678, 0x9abc

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
