	mov	16,r4
	add	0x10(r4),r5
	mov	020,r6
	add	0x10(r6),r7
	mov$	r9
	mov	r9
	push	"strab",0x6162
	clr	r10
	clr	r10
	inc	r11
	tst	r11+2
	nop
	ret
