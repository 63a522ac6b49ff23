	mov	"a"b
