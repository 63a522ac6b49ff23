mov #0,r5
tst r5
mov #0,r6
mov r7,r8
