; operand counts must agree
	push	r5,r6
	pop	r7
	push	r5
	pop	r7,r8
; numbers by value
	mov16	r1
	mov16	r2
	mov16	r3
	mov16	r4
	mov	17,r5
; one variable twice on a line
	same	r5
	cmp	r5,r6
; string constants
	ascii2	"abc\"d"
	bytes	ab,c"d
; three lines need three VOPs
	and	#1,r5
	and	#2,r5
