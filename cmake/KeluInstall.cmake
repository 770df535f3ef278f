# SPDX-License-Identifier: MIT
# The CMake package (kelu_utilConfig.cmake, its version file and the exported
# targets). The install rules of each target stand beside the target.
include(CMakePackageConfigHelpers)

set(KELU_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kelu_util)
install(EXPORT kelu_utilTargets NAMESPACE kelu_util::
  DESTINATION ${KELU_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(cmake/kelu_utilConfig.cmake.in kelu_utilConfig.cmake
  INSTALL_DESTINATION ${KELU_CMAKE_DIR})
# A new major version is a new SONAME: a request for 1.x accepts any 1.y.
write_basic_package_version_file(kelu_utilConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/kelu_utilConfig.cmake
  ${PROJECT_BINARY_DIR}/kelu_utilConfigVersion.cmake
  DESTINATION ${KELU_CMAKE_DIR} COMPONENT dev)
