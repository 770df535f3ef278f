# SPDX-License-Identifier: MIT
# Installs the build into a fresh prefix and builds the C++ example there as
# an outside caller would: C++20, every warning an error, the installed
# headers and library only. Runs the result.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE library ${PREFIX}/*/libkelu_util.so)
get_filename_component(lib_dir "${library}" DIRECTORY)
execute_process(COMMAND ${CXX_COMPILER} -std=c++20 -Wall -Wextra -Wshadow -Wconversion -pedantic
                        -Werror -I${PREFIX}/include/kelu_util ${SOURCE} -L${lib_dir} -lkelu_util
                        -Wl,-rpath-link,${lib_dir} -o ${PREFIX}/example
                COMMAND_ERROR_IS_FATAL ANY)
set(ENV{LD_LIBRARY_PATH} ${lib_dir})
execute_process(COMMAND ${PREFIX}/example COMMAND_ERROR_IS_FATAL ANY)
