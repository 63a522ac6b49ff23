	nop ; done
	nop ;
	nop ;;
nop;c
   ; note
	mov,r1
