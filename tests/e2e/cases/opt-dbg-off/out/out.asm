	.text
start:
; before push
; on push
	push	r5	
DBG_a:

; before pop
	pop	r6
DBG_b:
	xor	r1,r2
	xor	r2,r1
	xor	r1,r2
; first nop
	nop
DBG_c:
; second nop
	nop
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
