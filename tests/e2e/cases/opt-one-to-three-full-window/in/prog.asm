	v	1
	v	2
	v	3
	v	4
	v	5
	v	6
	v	7
	v	8
; on grow
	grow	r9
DBG_g:

	inc	r10

	v	11

L_mid:
; on x
	x	r1
DBG_x:
; on y
	y	r2
DBG_y:
	ret
