	nop
DBG2:
DBG1:
	nop
