; Near miss for the incd rule: the carry of the second inc is read.
	.text
	.globl	main
	.p2align	1
main:
	mov	#-1,r12
	inc	r12
	inc	r12
	jc	.Lcarry
	mov	#1,&result
	jmp	.Lnext
.Lcarry:
	mov	#2,&result
.Lnext:
	mov	#3,r13
	inc	r13
	inc	r13
	cmp	#5,r13
	jeq	.Lfive
	mov	#1,&result+2
	clr	r12
	ret
.Lfive:
	mov	#2,&result+2
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	4
	.size	result, 4
