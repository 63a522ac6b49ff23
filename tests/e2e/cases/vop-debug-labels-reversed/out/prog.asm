	nop
DBG1:
  DBG2 :
	nop
