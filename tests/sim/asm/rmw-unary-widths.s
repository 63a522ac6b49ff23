; rmw-unary: load, one-operand operation, store back becomes the operation
; on the slot and a load, with the same flags (carry and zero out of
; 0xffff + 1).  A byte load and store around a word operation is left:
; the word inc carries into bit 8 of the register, not into the slot.
	.text
	.globl	main
	.p2align	1
main:
	sub	#8, r1
	mov	#-1, 0(r1)
	mov	#0x8001, 2(r1)
	mov	#0x12ff, 4(r1)
	add	#0, r12
	mov	0(r1), r12
	inc	r12
	mov	r12, 0(r1)
	mov	r2, &result
	mov	r12, &result+2
	MOV.W	2(R1),R13
	RRA.W	R13
	MOV.W	R13,2(R1)
	mov	r2, &result+4
	mov	r13, &result+6
	mov.b	4(r1), r14
	inc	r14
	mov.b	r14, 4(r1)
	mov	r2, &result+8
	mov	r14, &result+10
	mov	0(r1), &result+12
	mov	2(r1), &result+14
	mov	4(r1), &result+16
	add	#8, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
