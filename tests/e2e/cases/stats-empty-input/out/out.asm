; nothing but a comment
	.text
