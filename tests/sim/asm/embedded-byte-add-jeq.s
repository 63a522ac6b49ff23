; rules: embedded
; add.b on a word in memory changes only its low byte and sets Z from that
; byte; the word compare after it reads both bytes.  0x01ff becomes 0x0100:
; a zero low byte but a word that is not zero, so jeq must fall through
; there and jump only for 0x00ff.  The word add of the second loop sets Z
; from the whole word.  result[i] is 1 where jeq fell through, 2 where it
; jumped.
	.text
	.globl	main
	.p2align	1
main:
	clr	r13
.Lbyte:
	mov	inputs(r13), &m
	add.b	#1, &m
	cmp	#0x0, &m
	jeq	.Lbyte_taken
	mov	#1, result(r13)
	jmp	.Lbyte_next
.Lbyte_taken:
	mov	#2, result(r13)
.Lbyte_next:
	incd	r13
	cmp	#6, r13
	jne	.Lbyte
.Lword:
	mov	inputs(r13), &m
	add	#1, &m
	cmp	#0x0, &m
	jeq	.Lword_taken
	mov	#1, result(r13)
	jmp	.Lword_next
.Lword_taken:
	mov	#2, result(r13)
.Lword_next:
	incd	r13
	cmp	#12, r13
	jne	.Lword
	mov	&m, result+12
	clr	r12
	ret

	.data
	.p2align	1
inputs:
	.short	0x01ff, 0x00ff, 0x1234
	.short	0x01ff, 0xffff, 0x1234

	.bss
	.p2align	1
m:
	.zero	2
	.globl	result
	.p2align	1
result:
	.zero	14
	.size	result, 14
