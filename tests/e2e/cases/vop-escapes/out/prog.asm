	ascii	"\777"
	ascii	"\x1FF"
	ascii	"\x41\101\q\x"
	ascii	"a\tb" "c"
	ascii	"ab\
cd"
	ascii	"ef
gh"
