# SPDX-License-Identifier: MIT
# Debian packages, one per install component (cpack -G DEB, or
# scripts/build-debs.sh, which configures for /usr first):
#   libkelu-util1           runtime: libkelu_util.so.1
#   libkelu-util-dev        dev: headers, CMake package, kelu_util.pc, the .so links
#   libkelu-platform-stub1  platform_stub: the stand-in (KELU_PLATFORM=stub only)
#   kelu-cksum              tool: the command
# dpkg-shlibdeps computes each package's dependencies on system libraries;
# the dependencies between these packages are stated here, because the
# packages being built are not installed for it to consult.
set(components runtime dev)
if(KELU_PLATFORM STREQUAL "stub")
  list(APPEND components platform_stub)
endif()
if(TARGET kelu-cksum)
  list(APPEND components tool)
endif()

set(CPACK_PACKAGE_NAME kelu-util)
set(CPACK_PACKAGE_VENDOR "The libkelu_util authors")
set(CPACK_PACKAGE_CONTACT "The libkelu_util authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Intrusive AVL tree, counted lists and checksums for the platform")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_COMPONENTS_ALL ${components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The libraries the packages' programs need, found in this build tree.
get_target_property(library_dir kelu_util BINARY_DIR)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${library_dir})
if(TARGET kelu_platform)
  get_target_property(stub_dir kelu_platform BINARY_DIR)
  list(APPEND CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${stub_dir})
endif()
# A shlibs entry "libkelu_util 1 libkelu-util1 (>= 1.0.0)" for packages
# built against this one.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(version ${PROJECT_VERSION})

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libkelu-util1)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "libkelu_util shared library\n The intrusive AVL tree, counted lists (plain and spin-lock protected),\n module lifecycle, CRC-32 and CRC32C of libkelu_util.")
if(KELU_PLATFORM STREQUAL "stub")
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libkelu-platform-stub1 (>= ${version})")
endif()

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libkelu-util-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "libkelu_util development files\n Headers, CMake package (kelu_util::kelu_util) and pkg-config file.")
# ISA-L's development package: kelu_util.pc and the CMake package name it.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libkelu-util1 (= ${version}), libisal-dev")

set(CPACK_DEBIAN_PLATFORM_STUB_PACKAGE_NAME libkelu-platform-stub1)
set(CPACK_DEBIAN_PLATFORM_STUB_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_PLATFORM_STUB_DESCRIPTION
  "Stand-in platform services for libkelu_util\n qxlog (log lines on stderr) and the spin lock, for machines without the\n platform's own libraries.")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME kelu-cksum)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_TOOL_DESCRIPTION
  "CRC-32 and CRC-32C of files, by libkelu_util\n kelu-cksum prints the CRC-32/BZIP2 and CRC-32C checksums of files or\n standard input.")
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "libkelu-util1 (>= ${version})")

# Every package carries the licence where Debian looks for it.
foreach(component IN LISTS components)
  string(TOUPPER ${component} upper)
  install(FILES LICENSE RENAME copyright COMPONENT ${component}
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
endforeach()

include(CPack)
