# MORVELL_FUZZ builds the libFuzzer targets of tests/fuzz (scripts/fuzz.sh).
# libFuzzer comes with clang only, so such a build is configured with clang;
# all code is instrumented for coverage and checked by AddressSanitizer and
# UndefinedBehaviorSanitizer, and any report ends the run as a finding.
option(MORVELL_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(MORVELL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "MORVELL_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    if(MORVELL_SANITIZE)
        message(FATAL_ERROR "MORVELL_FUZZ already sanitizes; leave MORVELL_SANITIZE off")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
        -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
