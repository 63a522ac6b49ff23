	mov	-4(r4),r12
	mov	-4(r4),r12
	mov	-4(r4),r13
	mov	-6(r4),r13
	mov	2(r4),r4
	mov	2(r4),r4
