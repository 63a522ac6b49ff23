	mov	r5,r6
	nop2
	.ascii_x
	str	"a	b",r1
