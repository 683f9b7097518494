first
second
third
