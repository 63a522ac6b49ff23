; c
	ascii	"a;b"
	ascii	"a\"b\\c"
	ascii	""
	db	"a","bc"
	db	"x"
