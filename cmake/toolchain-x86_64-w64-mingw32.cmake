# The 64-bit build, run under wine like the 32-bit product.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRM_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwClang.cmake)
