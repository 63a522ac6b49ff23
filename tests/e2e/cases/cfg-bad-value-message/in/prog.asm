	nop
	ret
