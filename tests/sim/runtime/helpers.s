; Multiply, divide, shift and block helpers that clang calls for the test
; programs, with the MSP430 EABI conventions: arguments in r12..r15 (32-bit
; values in r13:r12 and r15:r14), results in r12 or r13:r12, r11..r15 free,
; r4..r10 preserved.  Plain shift-and-add loops: the simulated part has no
; hardware multiplier, and what matters is that the before and after runs
; share them.
	.text

; 16 x 16 -> 16
	.globl	__mspabi_mpyi
	.p2align	1
__mspabi_mpyi:
	clr	r14
.Lmpyi_loop:
	tst	r13
	jz	.Lmpyi_done
	bit	#1, r13
	jz	.Lmpyi_next
	add	r12, r14
.Lmpyi_next:
	rla	r12
	clrc
	rrc	r13
	jmp	.Lmpyi_loop
.Lmpyi_done:
	mov	r14, r12
	ret

; 16 x 16 -> 32, unsigned and signed
	.globl	__mspabi_mpyul
	.p2align	1
__mspabi_mpyul:
	mov	r13, r14
	clr	r13
	clr	r15
	jmp	__mspabi_mpyl

	.globl	__mspabi_mpysl
	.p2align	1
__mspabi_mpysl:
	mov	r13, r14
	clr	r13
	tst	r12
	jge	.Lmpysl_b
	mov	#-1, r13
.Lmpysl_b:
	clr	r15
	tst	r14
	jge	__mspabi_mpyl
	mov	#-1, r15
	; fall through

; 32 x 32 -> 32
	.globl	__mspabi_mpyl
	.p2align	1
__mspabi_mpyl:
	push	r10
	clr	r10
	clr	r11
.Lmpyl_loop:
	tst	r14
	jnz	.Lmpyl_bit
	tst	r15
	jz	.Lmpyl_done
.Lmpyl_bit:
	bit	#1, r14
	jz	.Lmpyl_next
	add	r12, r10
	addc	r13, r11
.Lmpyl_next:
	rla	r12
	rlc	r13
	clrc
	rrc	r15
	rrc	r14
	jmp	.Lmpyl_loop
.Lmpyl_done:
	mov	r10, r12
	mov	r11, r13
	pop	r10
	ret

; Unsigned 16-bit division: r12 / r13 -> quotient r12, remainder r14.
; Quotient bits shift into r12 as the dividend bits shift out of it.
	.p2align	1
__qv_udiv16:
	clr	r14
	mov	#16, r15
.Ludiv16_loop:
	rla	r12
	rlc	r14
	jc	.Ludiv16_sub		; 17-bit partial remainder: above any divisor
	cmp	r13, r14
	jlo	.Ludiv16_next
.Ludiv16_sub:
	sub	r13, r14
	bis	#1, r12
.Ludiv16_next:
	dec	r15
	jnz	.Ludiv16_loop
	ret

	.globl	__mspabi_divu
	.p2align	1
__mspabi_divu:
	br	#__qv_udiv16

	.globl	__mspabi_remu
	.p2align	1
__mspabi_remu:
	call	#__qv_udiv16
	mov	r14, r12
	ret

; Signed division truncates toward zero: the quotient is negative when the
; signs differ, the remainder has the sign of the dividend.
	.globl	__mspabi_divi
	.p2align	1
__mspabi_divi:
	push	r10
	mov	r12, r10
	xor	r13, r10
	call	#__qv_abs16_pair
	call	#__qv_udiv16
	tst	r10
	jge	.Ldivi_done
	inv	r12
	inc	r12
.Ldivi_done:
	pop	r10
	ret

	.globl	__mspabi_remi
	.p2align	1
__mspabi_remi:
	push	r10
	mov	r12, r10
	call	#__qv_abs16_pair
	call	#__qv_udiv16
	mov	r14, r12
	tst	r10
	jge	.Lremi_done
	inv	r12
	inc	r12
.Lremi_done:
	pop	r10
	ret

	.p2align	1
__qv_abs16_pair:
	tst	r12
	jge	.Labs16_b
	inv	r12
	inc	r12
.Labs16_b:
	tst	r13
	jge	.Labs16_done
	inv	r13
	inc	r13
.Labs16_done:
	ret

; Unsigned 32-bit division: r13:r12 / r15:r14 -> quotient r13:r12,
; remainder r11:r10; uses r9.  Callers save r9 and r10.
	.p2align	1
__qv_udiv32:
	clr	r10
	clr	r11
	mov	#32, r9
.Ludiv32_loop:
	rla	r12
	rlc	r13
	rlc	r10
	rlc	r11
	jc	.Ludiv32_sub
	cmp	r15, r11
	jlo	.Ludiv32_next
	jne	.Ludiv32_sub
	cmp	r14, r10
	jlo	.Ludiv32_next
.Ludiv32_sub:
	sub	r14, r10
	subc	r15, r11
	bis	#1, r12
.Ludiv32_next:
	dec	r9
	jnz	.Ludiv32_loop
	ret

	.globl	__mspabi_divul
	.p2align	1
__mspabi_divul:
	push	r10
	push	r9
	call	#__qv_udiv32
	pop	r9
	pop	r10
	ret

	.globl	__mspabi_remul
	.p2align	1
__mspabi_remul:
	push	r10
	push	r9
	call	#__qv_udiv32
	mov	r10, r12
	mov	r11, r13
	pop	r9
	pop	r10
	ret

	.globl	__mspabi_divli
	.p2align	1
__mspabi_divli:
	push	r10
	push	r9
	push	r8
	mov	r13, r8
	xor	r15, r8
	call	#__qv_abs32_pair
	call	#__qv_udiv32
	tst	r8
	jge	.Ldivli_done
	call	#__qv_neg32
.Ldivli_done:
	pop	r8
	pop	r9
	pop	r10
	ret

	.globl	__mspabi_remli
	.p2align	1
__mspabi_remli:
	push	r10
	push	r9
	push	r8
	mov	r13, r8
	call	#__qv_abs32_pair
	call	#__qv_udiv32
	mov	r10, r12
	mov	r11, r13
	tst	r8
	jge	.Lremli_done
	call	#__qv_neg32
.Lremli_done:
	pop	r8
	pop	r9
	pop	r10
	ret

	.p2align	1
__qv_abs32_pair:
	tst	r13
	jge	.Labs32_b
	call	#__qv_neg32
.Labs32_b:
	tst	r15
	jge	.Labs32_done
	inv	r14
	inv	r15
	inc	r14
	adc	r15
.Labs32_done:
	ret

; r13:r12 = -r13:r12
	.p2align	1
__qv_neg32:
	inv	r12
	inv	r13
	inc	r12
	adc	r13
	ret

; Shifts: value in r12 (r13:r12), count in r13 (r14).
	.globl	__mspabi_slli
	.p2align	1
__mspabi_slli:
	tst	r13
	jz	.Lslli_done
.Lslli_loop:
	rla	r12
	dec	r13
	jnz	.Lslli_loop
.Lslli_done:
	ret

	.globl	__mspabi_srli
	.p2align	1
__mspabi_srli:
	tst	r13
	jz	.Lsrli_done
.Lsrli_loop:
	clrc
	rrc	r12
	dec	r13
	jnz	.Lsrli_loop
.Lsrli_done:
	ret

	.globl	__mspabi_srai
	.p2align	1
__mspabi_srai:
	tst	r13
	jz	.Lsrai_done
.Lsrai_loop:
	rra	r12
	dec	r13
	jnz	.Lsrai_loop
.Lsrai_done:
	ret

	.globl	__mspabi_slll
	.p2align	1
__mspabi_slll:
	tst	r14
	jz	.Lslll_done
.Lslll_loop:
	rla	r12
	rlc	r13
	dec	r14
	jnz	.Lslll_loop
.Lslll_done:
	ret

	.globl	__mspabi_srll
	.p2align	1
__mspabi_srll:
	tst	r14
	jz	.Lsrll_done
.Lsrll_loop:
	clrc
	rrc	r13
	rrc	r12
	dec	r14
	jnz	.Lsrll_loop
.Lsrll_done:
	ret

	.globl	__mspabi_sral
	.p2align	1
__mspabi_sral:
	tst	r14
	jz	.Lsral_done
.Lsral_loop:
	rra	r13
	rrc	r12
	dec	r14
	jnz	.Lsral_loop
.Lsral_done:
	ret

; Block helpers for struct copies and initialisers: memcpy(r12 dst, r13 src,
; r14 n) and memset(r12 dst, r13 byte, r14 n), both returning dst.
	.globl	memcpy
	.globl	memmove
	.p2align	1
memcpy:
memmove:
	mov	r12, r15
	cmp	r13, r12
	jlo	.Lcpy_fwd		; dst below src: forward is safe for overlaps
	add	r14, r13
	add	r14, r15
.Lcpy_back:
	tst	r14
	jz	.Lcpy_done
	dec	r13
	dec	r15
	mov.b	@r13, 0(r15)
	dec	r14
	jmp	.Lcpy_back
.Lcpy_fwd:
	tst	r14
	jz	.Lcpy_done
	mov.b	@r13+, r11
	mov.b	r11, 0(r15)
	inc	r15
	dec	r14
	jmp	.Lcpy_fwd
.Lcpy_done:
	ret

	.globl	memset
	.p2align	1
memset:
	mov	r12, r15
.Lset_loop:
	tst	r14
	jz	.Lset_done
	mov.b	r13, 0(r15)
	inc	r15
	dec	r14
	jmp	.Lset_loop
.Lset_done:
	ret
