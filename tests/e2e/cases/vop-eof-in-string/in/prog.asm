	nop
	ascii	"ab
