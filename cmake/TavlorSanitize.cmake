# Instrumented builds.
#
# TAVLOR_SANITIZE: every target with AddressSanitizer and UndefinedBehaviorSanitizer;
# the first fault ends the program, so that a test meeting undefined behaviour fails.
#
# TAVLOR_FUZZ: the code is instrumented for libFuzzer (coverage) and the
# sanitizers; the fuzz targets themselves are in fuzz/. Needs clang.

if(TAVLOR_SANITIZE OR TAVLOR_FUZZ)
    set(tavlor_sanitizers -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${tavlor_sanitizers})
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

if(TAVLOR_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TAVLOR_FUZZ needs clang (for example -DCMAKE_CXX_COMPILER=clang++-14)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# GCC's flow analysis reports uninitialised reads inside the standard library
# (<regex>, <functional>) once the sanitizers instrument it: not this program's.
if(TAVLOR_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(tavlor_warnings INTERFACE -Wno-maybe-uninitialized)
endif()
