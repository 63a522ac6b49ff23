	.text
	.globl	add32
add32:
; @add32
	add	r15,r13
	add	r14,r12
	clr	r14
	adc	r14
	add	r14,r13
	ret
sum32:
	add	r11,r12
	clr	r11
	adc	r11
	add	2(r14),r15
	add	r11,r15
	add	#4,r14
	ret
acc32:
	add	r14,r12
	mov	r12,4(r10)
	clr	r12
	adc	r12
	add	6(r10),r13
	add	r12,r13
	mov	r13,6(r10)
	ret
twice:
	add	r12,r12
	cmp	r12,r12
	mov	#1,r14
	bic	r2,r14
	add	r14,r13
	ret
halve:
	clrc
	rrc	r12
	sub	r13,r12
	ret
; Z flag as bit 1
zbits:
	mov	r2,r14
	and	#2,r14
	add	r14,r14
	and	#2,r13
	rra	r12
	and	#1,r12
	bis	r14,r12
	ret
.Lsum:
	mov	32(r1),r13
	mov	30(r1),r14
	add	r13,r14
	mov	34(r1),r13
	add	&small+4,r13
	mov	&small+6,r14
	mov	#5,r12
	cmp	r12,r12
	mov	#0,r12
	mov	#5,r12
	add	r12,r13
	mov	r12,r12
	ret
