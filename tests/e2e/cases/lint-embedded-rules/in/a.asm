mov #0,r5
