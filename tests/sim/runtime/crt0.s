; Start-up for the simulated runs: stack, .data from ROM, .bss cleared
; (simulated RAM starts as 0xff bytes), then main.  The harness stops the
; run with a breakpoint on __qv_end.
	.section	.text.crt0,"ax",@progbits
	.globl	__qv_start
	.globl	__qv_end
__qv_start:
	mov	#__stack_top, r1
	mov	#0x5a80, &0x0120	; watchdog off, in case the part has one
	mov	#__data_load, r14
	mov	#__data_start, r15
.Lcopy:
	cmp	#__data_end, r15
	jhs	.Lclear
	mov	@r14+, r13	; the assembler takes no @rN+ source with an indexed destination
	mov	r13, 0(r15)
	incd	r15
	jmp	.Lcopy
.Lclear:
	mov	#__bss_start, r15
.Lzero:
	cmp	#__bss_end, r15
	jhs	.Lmain
	clr	0(r15)
	incd	r15
	jmp	.Lzero
.Lmain:
	call	#main
__qv_end:
	jmp	__qv_end

	.section	.resetvec,"a",@progbits
	.word	__qv_start
