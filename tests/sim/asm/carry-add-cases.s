; carry-add: the carry of a 32-bit addition from the compare idiom, with
; and without a carry, register and constant addends, upper-case names and
; ", " or "," between operands.  The carry register keeps its value (0 or
; 1) and the flags are those of the last add.  A bis in place of the last
; add sets no flag, so the compare's flags stay visible and nothing may
; change there.
	.text
	.globl	main
	.p2align	1
main:
	mov	#0xff00, r12
	mov	#0x0001, r13
	mov	#0x0200, r14
	add	r14, r12
	cmp	r14, r12
	mov	#1, r14
	bic	r2, r14
	add	r14, r13
	mov	r2, &result
	mov	r12, &result+2
	mov	r13, &result+4
	mov	r14, &result+6
	mov	#0x1000, r12
	mov	#0x7fff, r13
	ADD.W	#0x0234,r12
	CMP.W	#0x0234,r12
	MOV.W	#1,r11
	BIC.W	r2,r11
	ADD.W	r11,r13
	mov	r2, &result+8
	mov	r12, &result+10
	mov	r13, &result+12
	mov	r11, &result+14
	mov	#0xffff, r12
	mov	#0x0001, r14
	mov	#0x0005, r13
	add	r14,r12
	cmp	r14,r12
	mov	#1,r14
	bic	r2,r14
	bis	r14,r13
	mov	r2, &result+16
	mov	r13, &result+18
	mov	r14, &result+20
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
