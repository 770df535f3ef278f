# SPDX-License-Identifier: MIT
# Doxygen's MAN_LINKS writes a link page for every documented name, struct
# fields included. A field's page (".so man3/AvlNode.3" named "next.3",
# "count.3", ...) would claim common names in section 3 for one record's
# field: it goes. Functions, macros, variables and types link to their
# header's page and stay.
#   cmake -DDIR=<man3 directory> -P prune_man_links.cmake
file(GLOB pages ${DIR}/*.3)
foreach(page IN LISTS pages)
  file(READ ${page} text LIMIT 200)
  if(text MATCHES "^\\.so man3/[A-Za-z0-9_]+\\.3\n*$")
    file(REMOVE ${page})
  endif()
endforeach()
