	inc	r5
	inc	r5
	inc	r6
	inc	r7
	mov	r1,r2
	add	r2,r3
