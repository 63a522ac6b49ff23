	ascii	"ÿ"
	ascii	"ef\ngh"
