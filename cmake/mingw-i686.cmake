# Cross toolchain: MinGW-w64 for 32-bit Windows, tests run through Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Windows only keeps the stack 4-byte aligned when it calls into the program (window procedures,
# thread entries): let functions with SSE2 locals realign it themselves.
set(CMAKE_C_FLAGS_INIT "-mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-mincoming-stack-boundary=2")
