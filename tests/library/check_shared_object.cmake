# SPDX-License-Identifier: MIT
# Checks the built shared object the way the dynamic linker and a packager
# see it: it exports exactly the names of the export lists (which the version
# script is made from), under its SONAME, needs nothing but libc, ISA-L and
# the platform, imports neither the C++ runtime nor a CRC32C dispatcher, calls
# none of its own exports through the procedure linkage table, has no
# executable stack and, unless sanitized, no static constructor.
# Usage: cmake -DLIBRARY=<.so> -DEXPORTS_DIR=<dir> [-DSANITIZED=ON] -P check_shared_object.cmake
function(run out)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
function(symbols out)  # the names of an nm listing, without versions, sorted
  run(text nm ${ARGN} ${LIBRARY})
  string(REGEX MATCHALL "[^ \n@]+(@[^ \n]*)?\n" names "${text}")
  list(TRANSFORM names REPLACE "@.*|\n" "")
  list(SORT names)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

file(GLOB lists ${EXPORTS_DIR}/*.sym)
set(expected "")
foreach(list_file IN LISTS lists)
  file(STRINGS ${list_file} names REGEX "^[A-Za-z_][A-Za-z0-9_]*$")
  list(APPEND expected ${names})
endforeach()
list(SORT expected)
symbols(exported -D --defined-only)
list(LENGTH exported count)
if(NOT exported STREQUAL expected OR NOT count EQUAL 44)
  message(FATAL_ERROR "exports (${count}):\n  ${exported}\nexpected:\n  ${expected}")
endif()

run(dynamic readelf -dW ${LIBRARY})
if(NOT dynamic MATCHES "Library soname: \\[libkelu_util\\.so\\.1\\]")
  message(FATAL_ERROR "wrong or missing SONAME:\n${dynamic}")
endif()
string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
foreach(entry IN LISTS needed)
  if(NOT entry MATCHES "\\[(libc\\.so\\.6|libkelu_platform\\.so\\.1|libisal\\.so\\.2|lib(a|ub|t)san\\.so\\.[0-9]+)\\]")
    message(FATAL_ERROR "needs ${entry}")
  endif()
endforeach()

# Nor a CRC32C dispatcher: ISA-L's may call our crc32_iscsi_00, which must
# never call back.
symbols(imported -D --undefined-only)
foreach(name IN LISTS imported)
  if(name MATCHES "^(_Z|__cxa|__gxx|_Unwind|crc32_iscsi$|crc32_iscsi_00$)"
     AND NOT name STREQUAL "__cxa_finalize")
    message(FATAL_ERROR "imports ${name}")
  endif()
endforeach()

# A call through a JUMP_SLOT binds to whatever definition the process finds
# first, so a program's own util_init would replace the library's. Addresses
# taken (the operation table's) stay GLOB_DAT, resolved by the process.
run(relocations readelf -rW ${LIBRARY})
string(REGEX MATCHALL "R_X86_64_JUMP_SLOT +[0-9a-f]+ [^ \n@]+" slots "${relocations}")
list(TRANSFORM slots REPLACE ".* " "")
foreach(name IN LISTS slots)
  list(FIND expected ${name} index)
  if(index GREATER -1)
    message(FATAL_ERROR "calls its own export ${name} through the PLT")
  endif()
endforeach()

run(segments readelf -lW ${LIBRARY})
if(segments MATCHES "GNU_STACK[^\n]* RWE")
  message(FATAL_ERROR "executable stack")
endif()
run(all nm ${LIBRARY})
if(NOT SANITIZED AND all MATCHES "_GLOBAL__sub_I")
  message(FATAL_ERROR "a static constructor runs at load")
endif()
message(STATUS "${LIBRARY}: ${count} exports, needs only libc, ISA-L and the platform")
