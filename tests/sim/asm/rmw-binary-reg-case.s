; rmw-binary-reg: load, operation with another register, store back
; becomes the operation on the slot.  Registers match in lower case only:
; "add R12, r12" adds the loaded value to itself, not r12's old value.
	.text
	.globl	main
	.p2align	1
main:
	sub	#4, r1
	mov	#0x0101, 0(r1)
	mov	#0x0202, 2(r1)
	mov	#0x0030, r13
	mov	#3, r12
	add	#0, r12
	mov	0(r1), r12
	add	r13, r12
	mov	r12, 0(r1)
	mov	r2, &result
	add	#0, r12
	mov	2(r1), r12
	add	R12, r12
	mov	r12, 2(r1)
	mov	r2, &result+2
	mov	r12, &result+4
	mov	0(r1), &result+6
	mov	2(r1), &result+8
	add	#4, r1
	clr	r12
	ret

	.bss
	.globl	result
	.p2align	1
result:
	.zero	32
	.size	result, 32
