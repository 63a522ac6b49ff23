	bis.b	#0,&P1OUT
	bis	#0,&flags
	bic.b	#0,&P2OUT
	bic	#0,&state
	bis.b	#0,r12
	bisxb	#0,&P1OUT
