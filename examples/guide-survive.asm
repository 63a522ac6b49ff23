	add	r12 , r13
	mov	r12,r13	; keep a copy
; and back

	mov	r13,r12
DBG_7:
	mov	r14,r14	; nothing
	mov	r12,r13
.Lnext:
	mov	r13,r12
