	nop
	ascii	"ab"
