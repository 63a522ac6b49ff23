	mov	"a"
