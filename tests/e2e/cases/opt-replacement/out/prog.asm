	.text
start:
; before push
	push	r5	; on push
DBG_a:

; before pop
	pop	r6
DBG_b:
	swap	r1,r2
; first nop
	nop
DBG_c:
; second nop
	nop
	ret
; lead
	nop
	nop
	ret
L2:
	push	r1
L3:
	pop	r2
	push	r3
	.globl	x
	pop	r4
