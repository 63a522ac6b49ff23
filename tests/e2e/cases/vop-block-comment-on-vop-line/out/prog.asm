L1: mov r1 /* c */ add r3
	mov r1 /* c */ dropped
L2: mov r1 /* c
 x */ sub r4
