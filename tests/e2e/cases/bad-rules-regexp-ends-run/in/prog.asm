	jne	L1
