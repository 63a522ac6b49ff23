; rules: embedded
; and.b sets N from bit 7 of its byte result, while the word compare after
; it tests bit 15 of the register, which and.b has just cleared: jn after
; the compare is never taken, jn straight after and.b would be for 0x80.
; The word and of the second loop sets N from bit 15 itself, so there the
; compare may go.  result[i] is 1 where jn fell through, 2 where it jumped.
	.text
	.globl	main
	.p2align	1
main:
	clr	r13
.Lbyte:
	mov	inputs(r13), r14
	and.b	#0x80, r14
	cmp	#0x0, r14
	jn	.Lbyte_taken
	mov	#1, result(r13)
	jmp	.Lbyte_next
.Lbyte_taken:
	mov	#2, result(r13)
.Lbyte_next:
	incd	r13
	cmp	#8, r13
	jne	.Lbyte
.Lword:
	mov	inputs(r13), r14
	and	#0x8080, r14
	cmp	#0x0, r14
	jn	.Lword_taken
	mov	#1, result(r13)
	jmp	.Lword_next
.Lword_taken:
	mov	#2, result(r13)
.Lword_next:
	incd	r13
	cmp	#16, r13
	jne	.Lword
	clr	r12
	ret

	.data
	.p2align	1
inputs:
	.short	0x0080, 0x00ff, 0x007f, 0xff00
	.short	0x0080, 0x8000, 0x7f7f, 0xff00

	.bss
	.globl	result
	.p2align	1
result:
	.zero	16
	.size	result, 16
