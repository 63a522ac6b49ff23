	ascii	"a;b" ; c
	ascii	"a\"b\\c"
	ascii	""
	db	"a" , "b" "c"
	db	"x"	;
