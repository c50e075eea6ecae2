# GoogleTest is built from the distribution's sources with the toolchain in
# use, inside the build tree; a prebuilt library would be for Linux only.
set(BRM_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${BRM_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found at ${BRM_GOOGLETEST_SOURCE}; run scripts/setup")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${BRM_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(WIN32)
  # Made once, as machine code: not again at the link of every test program.
  target_compile_options(gtest PRIVATE -fno-lto)
  target_compile_options(gtest_main PRIVATE -fno-lto)
endif()
include(GoogleTest)
