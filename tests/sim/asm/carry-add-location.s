; carry-add, carry-add-mid, carry-add-store: "#." in the add and in the
; compare are two different addresses, so the compare's carry is not the
; inverse of the add's (r12 = 0 ends between them); and the high-word add
; moves up when the compare goes, so its own "#." would change.
	.text
	.globl	main
	.p2align	1
main:
	clr	r12
	clr	r13
.La1:
	add	#., r12
	cmp	#., r12
	mov	#1, r14
	bic	r2, r14
	add	r14, r13
	sub	#.La1, r12
	mov	r12, &result
	mov	r13, &result+2
	mov	#0xffff, r12
	mov	#2, r15
	clr	r13
.La2:
	add	r15, r12
	cmp	r15, r12
	mov	#1, r14
	bic	r2, r14
	add	#., r13
	add	r14, r13
	sub	#.La2, r13
	mov	r13, &result+4
	mov	#0xffff, r12
	clr	r13
.La3:
	add	r15, r12
	cmp	r15, r12
	mov	r12, &result+6
	mov	#1, r14
	bic	r2, r14
	add	#., r13
	add	r14, r13
	sub	#.La3, r13
	mov	r13, &result+8
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
