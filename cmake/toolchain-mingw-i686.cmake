# Cross build for i686 Windows with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)

# SSE2 arithmetic instead of the x87 unit: x87 keeps intermediates in 80 bits,
# so note times computed from the tempo would differ by a sample from the
# 64-bit and Linux builds, and a project would not play the same everywhere.
# Every CPU a 32-bit VST host runs on today has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
