	mov	"a"x y
L5: mov "a"x y
