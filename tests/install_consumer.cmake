# Installs the build into a fresh prefix, then builds the C consumer there the
# way an outside caller would: cc -std=c99 with pkg-config's flags and
# -lkelu_util, nothing from the source tree. Runs the result.
foreach(var BUILD_DIR PREFIX SOURCE C_COMPILER)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE pc_file ${PREFIX}/*/kelu_util.pc)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
execute_process(COMMAND pkg-config --define-variable=prefix=${PREFIX} --cflags --libs kelu_util
                OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(flags UNIX_COMMAND "${flags}")
get_filename_component(lib_dir "${pc_dir}" DIRECTORY)
execute_process(COMMAND ${C_COMPILER} -std=c99 -Wall -Wextra -Werror -pedantic ${SOURCE} ${flags}
                        -Wl,-rpath-link,${lib_dir} -o ${PREFIX}/consumer
                COMMAND_ERROR_IS_FATAL ANY)
# The library finds its platform library beside it, as on a host whose
# loader path names the install directory.
set(ENV{LD_LIBRARY_PATH} ${lib_dir})
execute_process(COMMAND ${PREFIX}/consumer COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "installed consumer: ok")
