# What both toolchain files share: Debian's clang and lld for a mingw-w64 target, so that the
# shipped modules come with CodeView debug information in PDB files, the form Windows debuggers
# and crash-dump services read. Headers and import libraries stay Debian's mingw-w64 ones, and
# the run-time libraries those of its mingw-w64 gcc (posix thread model, DWARF unwinding), which
# clang's objects use as gcc's did. Set BRM_TARGET (the triple) before including this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET ${BRM_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${BRM_TARGET})
set(CMAKE_RC_COMPILER ${BRM_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BRM_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# gcc's C++ library, headers and archives: left alone, clang would take the build machine's
# own C++ headers and find no archives.
execute_process(COMMAND ${BRM_TARGET}-g++-posix -print-file-name=libstdc++.a
  OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
get_filename_component(gcc_dir "${libstdcxx}" DIRECTORY)
if(failed OR NOT EXISTS "${gcc_dir}/include/c++/${BRM_TARGET}")
  message(FATAL_ERROR "no C++ library of ${BRM_TARGET}-g++-posix ('${libstdcxx}'): run scripts/setup")
endif()
set(CMAKE_CXX_FLAGS_INIT "-nostdinc++")
foreach(dir c++ c++/${BRM_TARGET} c++/backward)
  string(APPEND CMAKE_CXX_FLAGS_INIT " -isystem ${gcc_dir}/include/${dir}")
endforeach()
# The posix thread model's libstdc++ and unwinder call winpthread, which gcc's driver adds itself.
# CMake repeats the compile flags on link lines, where -nostdinc++ has nothing to do.
set(link "-fuse-ld=lld --ld-path=ld.lld-14 -L${gcc_dir} -lwinpthread -Wno-unused-command-line-argument")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${link}")
