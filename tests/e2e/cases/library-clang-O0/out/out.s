	.text
	.globl	spill
spill:
; @spill
	sub	#10,r1
	add	r13,r12
	mov	r12,8(r1)
	call	#use
	inc	r12
	mov.b	r12,5(r1)
	mov.b	r12,r12
	call	#use
	and	#7,r12
; below the stack pointer: kept
	mov	r12,65534(r1) 
	mov	65534(r1),r12
	call	#use
; 2-byte Folded Spill
; 2-byte Folded Reload
	mov	r12,0(r1)
	mov	r12,r13
	call	#use
.LBB0_1:
	mov	#42,2(r1)
	mov	#42,r14
	call	#use
	clr	4(r1)
	clr	r15
	call	#use
	mov	6(r1),r12
	call	#use
.LBB0_2:
	mov	&counter,2(r1)
	mov	&limit,r12
	mov	4(r1),r14
	clr	r13
	call	#use
	mov	#5,r12
	mov	r12,0(r1)
	mov	r12,r12
	call	#use
.LBB0_3:                                ; =>This Inner Loop Header: Depth=1
	inc	8(r1)
	mov	8(r1),r12
	add	#-3,6(r1)
	mov	6(r1),r12
	mov	4(r1),r12
	add	r12,r12
	mov	r12,4(r1)
	mov	&counter,&limit
	mov	&counter,r12
	add	#10,r1
	ret
