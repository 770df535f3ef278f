# SPDX-License-Identifier: MIT
# Warning and hardening flags for this project's own targets. They are set on
# each target, never on a directory or globally, so a project that includes
# this one with add_subdirectory keeps its own flags, and -Werror (with
# KELU_WERROR) never reaches a consumer's code or a third-party header.

set(KELU_WARNING_FLAGS -Wall -Wextra -Wshadow -Wcast-align -Wformat=2 -Wundef)

# kelu_use_project_flags(<target>...): the warnings, as errors with
# KELU_WERROR, and for every linked binary a relocation table that is bound
# at load time and then made read-only (full RELRO with BIND_NOW) and a
# non-executable stack.
function(kelu_use_project_flags)
  set(warnings ${KELU_WARNING_FLAGS})
  if(KELU_WERROR)
    list(APPEND warnings -Werror)
  endif()
  foreach(target IN LISTS ARGN)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY|STATIC_LIBRARY|OBJECT_LIBRARY)$")
      target_compile_options(${target} PRIVATE ${warnings})
    endif()
    if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
      target_link_options(${target} PRIVATE LINKER:-z,relro,-z,now LINKER:-z,noexecstack)
    endif()
  endforeach()
endfunction()

# kelu_use_project_flags_in(<dir>): the same for every target defined in
# <dir> and the directories below it, so that targets added later by any
# subdirectory get the flags without repeating them.
function(kelu_use_project_flags_in dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  kelu_use_project_flags(${targets})
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    kelu_use_project_flags_in(${subdir})
  endforeach()
endfunction()
