	v	1
	v	2

	v	3

	v	4

	v	5
	v	6
	v	7
	v	8
; on grow
	g1	r9
	g2	r9
	g3	r9
DBG_g:
	add	#1,r10
	v	11
L_mid:
; on x
; on y
	g1	r1+r2
	g2	r1+r2
	g3	r1+r2
DBG_y:
DBG_x:
	ret
