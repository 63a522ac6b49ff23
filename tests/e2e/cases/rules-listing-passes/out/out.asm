	mov	0x10,r4
	add	16(r4),r5
	mov	0x10,r6
	add	16(r6),r7
	mov	r9
	mov	r9
	push	"strab"
	inc	r11
	ret
