/* Block comments travel
   with the next VOP. */
mov r5,r5
mov r6,r6 // a blank is no delimiter now: this operand is "r6 "
mov r8, r8
push r9 r10
; not a comment here
