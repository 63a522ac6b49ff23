; operand counts must agree
	push	r5,r6
	pop	r7
	push	r5
	pop	r7,r8
; numbers by value
	mov	16,r1
	mov	0x10,r2
	mov	020,r3
	mov	'\020',r4
	mov	17,r5
; one variable twice on a line
	cmp	r5,r5
	cmp	r5,r6
; string constants
	asciz	"ab"
	asciz	"c\"d"
; three lines need three VOPs
	and	#1,r5
	and	#2,r5
