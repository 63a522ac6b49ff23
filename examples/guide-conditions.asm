	mov	r12,r13
	mov	r13,r12
	mov	r14,R14
	mov	R14,r14
	mov	2(r1),r15
	mov	4(r1),r15
	mov	2(r1),r11
	mov	0x2(r1),r11
