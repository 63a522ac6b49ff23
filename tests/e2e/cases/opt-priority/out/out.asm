	addonly	#1,r5
	addonly	#1,r5
	addonly	#1,r6
	addonly	#1,r7
	movadd	r1,r2,r3
