# What every fuzz project shares: clang (libFuzzer needs it; the main build uses g++), C++20, and
# the project's own warnings with AddressSanitizer and UndefinedBehaviorSanitizer.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "libFuzzer targets need clang: configure with -DCMAKE_CXX_COMPILER=clang++-14")
endif()

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

set(TIDEWRIGHT_SANITIZE "address,undefined" CACHE STRING "" FORCE)
include(${CMAKE_CURRENT_LIST_DIR}/TidewrightTargets.cmake)
