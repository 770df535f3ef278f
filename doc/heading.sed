# Blanks the first line of a comment block when it only names what the block
# documents ("/** createAvl()", or a list of names ending in a comma that the
# next line continues), keeping the line count, so the reference's line
# numbers stay the header's.
/^\(\/\*\*\|\/\/\/\) [A-Za-z_][A-Za-z0-9_]*\(()\)\?\(, [A-Za-z_][A-Za-z0-9_]*\(()\)\?\)*,$/{
  s/^\(...\).*/\1/
  n
  s/^\( \*\|\/\/\/\) [A-Za-z_][A-Za-z0-9_]*\(()\)\?\(, [A-Za-z_][A-Za-z0-9_]*\(()\)\?\)*$/\1/
  b
}
s/^\(\/\*\*\|\/\/\/\) [A-Za-z_][A-Za-z0-9_]*\(()\)\?\(, [A-Za-z_][A-Za-z0-9_]*\(()\)\?\)*$/\1/
