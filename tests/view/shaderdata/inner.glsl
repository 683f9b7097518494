inner line
