	clnop
