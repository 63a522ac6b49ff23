	v	1
	v	2
	v	3
	v	4
	v	5
	v	6
	v	7
	v	8
	v	9
	v	10

	v	11

