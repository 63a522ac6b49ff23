	push	r0
	pop	r1
	push	r1
	pop	r2
	push	r2
	pop	r3
	push	r3
	pop	r4
	push	r4
	pop	r5
	push	r5
	pop	r6
	push	r6
	pop	r7
	push	r7
	pop	r8
	push	r8
	pop	r9
	push	r9
	pop	r10
	push	r10
	pop	r11
	push	r11
	pop	r12
	push	r12
	pop	r13
	push	r13
	pop	r14
	push	r14
	pop	r15
	push	r15
	pop	r0
	push	r0
	pop	r1
	push	r1
	pop	r2
	push	r2
	pop	r3
	push	r3
	pop	r4
	push	r4
	pop	r5
	push	r5
	pop	r6
	push	r6
	pop	r7
	push	r7
	pop	r8
	push	r8
	pop	r9
	push	r9
	pop	r10
	push	r10
	pop	r11
	push	r11
	pop	r12
	push	r12
	pop	r13
	push	r13
	pop	r14
	push	r14
	pop	r15
	push	r15
	pop	r0
	push	r0
	pop	r1
	push	r1
	pop	r2
	push	r2
	pop	r3
	push	r3
	pop	r4
	push	r4
	pop	r5
	push	r5
	pop	r6
	push	r6
	pop	r7
	push	r7
	pop	r8
	push	r8
	pop	r9
	push	r9
	pop	r10
	push	r10
	pop	r11
	push	r11
	pop	r12
	push	r12
	pop	r13
	push	r13
	pop	r14
	push	r14
	pop	r15
	push	r15
	pop	r0
	push	r0
	pop	r1
	push	r1
	pop	r2
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
	nop
