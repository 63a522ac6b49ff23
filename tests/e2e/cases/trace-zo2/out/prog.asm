	push	r5
	pop	r6
	nop
	.ascii_x
	str	"a\tb",r1
