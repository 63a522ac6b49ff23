; load-store-same: storing back the word just loaded from the same slot
; changes nothing and goes.  After a byte load the word store clears the
; slot's upper byte and must stay.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x1357, 0(r1)
	mov	#0x7777, 2(r1)
	add	#0, r12
	mov	0(r1), r12
	mov	r12, 0(r1)
	add	#1, r12
	mov.b	2(r1), r13
	mov	r13, 2(r1)
	add	#1, r13
	mov	r12, &result
	mov	r13, &result+2
	mov	0(r1), &result+4
	mov	2(r1), &result+6
	add	#4, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
