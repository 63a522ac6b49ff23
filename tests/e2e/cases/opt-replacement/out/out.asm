	.text
start:

DBG_c:
; before push
; on push
; before pop
	move	r5 r6
DBG_b:
DBG_a:
	xor	r1,r2
	xor	r2,r1
; first nop
; second nop
	xor	r1,r2
; lead
	ret
	ret
L2:
	push	r1
L3:
	pop	r2
	push	r3
	.globl	x
	pop	r4
