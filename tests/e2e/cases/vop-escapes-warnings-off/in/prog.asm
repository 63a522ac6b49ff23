	ascii	"\777"
	ascii	"ef
gh"
