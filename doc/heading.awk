# Blanks the heading of a comment block, the first line when it only names
# what the block documents ("/** createAvl()", "    /// insert()"), and the
# next line too when the list of names goes on there (ends in a comma). The
# reference prints the names above each entry itself. The line count stays,
# so the reference's line numbers are the header's.
BEGIN { names = "[A-Za-z_][A-Za-z0-9_]*(\\(\\))?(, [A-Za-z_][A-Za-z0-9_]*(\\(\\))?)*,?$" }
function marker_only(text) {
    match(text, /^ *(\/\*\*|\/\/\/|\*)/)
    return substr(text, 1, RLENGTH)
}
{
    line = $0
    first = line ~ /^ *\/\*\* / || (line ~ /^ *\/\/\/ / && !in_run)
    if ((continued && line ~ ("^ *(\\*|///) " names)) || (first && line ~ ("^ *(/\\*\\*|///) " names))) {
        continued = line ~ /,$/
        line = marker_only(line)
    } else {
        continued = 0
    }
    in_run = $0 ~ /^ *\/\/\//
    print line
}
