a_dbg0:
	push	r5
x_dbg1:
DBG_a:
	pop	r6
	push	r7
L_dbg2_y:
z_dbg3:
	pop	r8
