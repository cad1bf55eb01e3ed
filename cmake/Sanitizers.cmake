# Sanitizer and fuzzing builds.
#
# KORVENTA_SANITIZE=address,undefined instruments every target of the build (core, forms,
# programs, tests). UndefinedBehaviorSanitizer stops the program at its first report, so a
# finding fails the test that ran into it instead of scrolling by.
#
# KORVENTA_FUZZ=ON (clang only) adds the coverage instrumentation of libFuzzer to the whole
# build and the fuzz targets of tests/fuzz; combine it with KORVENTA_SANITIZE.
set(KORVENTA_SANITIZE "" CACHE STRING "Sanitizers for the whole build, e.g. address,undefined")
option(KORVENTA_FUZZ "Build the libFuzzer targets of tests/fuzz (clang)" OFF)

if(KORVENTA_SANITIZE)
  add_compile_options(-fsanitize=${KORVENTA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${KORVENTA_SANITIZE})
endif()

if(KORVENTA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KORVENTA_FUZZ needs clang (configure with CC=clang CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
