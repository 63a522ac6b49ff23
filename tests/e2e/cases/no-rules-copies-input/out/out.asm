	inc	r5
