a_dbg0:
	push	r5
x_dbg1:
DBG_a:
	pop	r6
	mov	r7,r8
z_dbg3:
L_dbg2_y:
