; clrc-dead: a clrc whose carry the next add overwrites unread goes.  It
; stays before addc (reads the carry), before a move from sr (reads all the
; flags) and before bis (sets none, so the cleared carry is seen later).
	.text
	.globl	main
	.p2align	1
main:
	mov	#0x8000, r12
	mov	#0x8000, r13
	setc
	clrc
	add	r12, r13
	mov	r2, &result
	mov	r13, &result+2
	mov	#5, r13
	setc
	clrc
	addc	#0, r13
	mov	r13, &result+4
	setc
	clrc
	mov	r2, r14
	mov	r14, &result+6
	setc
	clrc
	bis	r12, r13
	mov	r2, &result+8
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
