L1:
	mov	r1,r2
L1:
	nop
L1 :
    L1:
	nop
L2 :
L3:
L4:
	nop
L5:
.byte 1
