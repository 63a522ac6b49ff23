	mov	r1 , r2
	mov	"a" b
