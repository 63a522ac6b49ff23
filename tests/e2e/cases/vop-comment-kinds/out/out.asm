; done
	nop
	nop
;;
	nop
	nop;c
; note
	mov,r1
