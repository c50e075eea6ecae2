# The product: 32-bit Windows, run under wine (a WOW64 process in a 64-bit prefix).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BRM_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwClang.cmake)
