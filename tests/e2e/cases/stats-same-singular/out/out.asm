	add	#1,r5
