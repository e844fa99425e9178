# Precompiled headers for the targets whose files spend most of their compile time in the same
# large headers (Qt's widgets, GoogleTest).
#
# GCC 12 loses the system-header status of libstdc++'s headers when they come from a
# precompiled header, and then reports its known false -Warray-bounds and -Wstringop-overflow
# inside std::string's operator+ (GCC bugs 105329 and 105651, like -Wrestrict in the top CMakeLists.txt): those two
# are off for such targets on that compiler only.
function(ravelin_precompile_headers target)
  target_precompile_headers(${target} PRIVATE ${ARGN})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-array-bounds -Wno-stringop-overflow)
  endif()
endfunction()

# What every test program includes.
function(ravelin_test_headers target)
  ravelin_precompile_headers(${target} <gtest/gtest.h> <gmock/gmock.h> <string> <vector> ${ARGN})
endfunction()
