	.text
	.globl	spill
spill:                                  ; @spill
	sub	#10, r1
	add	r13, r12
	mov	r12, 8(r1)
	mov	8(r1), r12
	call	#use
	inc	r12
	mov.b	r12, 5(r1)
	mov.b	5(r1), r12
	call	#use
	and	#7, r12
	mov	r12, 65534(r1)                  ; below the stack pointer: kept
	mov	65534(r1), r12
	call	#use
	mov	r12, 0(r1)                      ; 2-byte Folded Spill
	mov	0(r1), r13                      ; 2-byte Folded Reload
	call	#use
.LBB0_1:
	mov	#42, 2(r1)
	mov	2(r1), r14
	call	#use
	clr	4(r1)
	mov	4(r1), r15
	call	#use
	mov	6(r1), r12
	mov	r12, 6(r1)
	call	#use
.LBB0_2:
	mov	&counter, r12
	mov	r12, 2(r1)
	mov	&limit, r12
	mov	4(r1), r13
	mov	r13, r14
	clr	r13
	call	#use
	mov	#5, r12
	mov	r12, 0(r1)
	mov	r12, r12
	call	#use
.LBB0_3:                                ; =>This Inner Loop Header: Depth=1
	mov	8(r1), r12
	inc	r12
	mov	r12, 8(r1)
	mov	6(r1), r12
	add	#-3, r12
	mov	r12, 6(r1)
	mov	4(r1), r12
	add	r12, r12
	mov	r12, 4(r1)
	mov	&counter, r12
	mov	r12, &limit
	mov	&counter, r12
	add	#10, r1
	ret
