	mov	"a"
L5:
	mov	"a"
	y
