	jmp	.L1
; travels with the label
  .L1:                ; a comment kept
	jne	.L2
	jmp	.L3
.L2:
	mov	r5,r6
	jmp	.L4
.L5:
.L4:
	jmp	done
done:	mov	r6,r7
	nop
end:
gone:
DBG1:
	ret
