	ret
