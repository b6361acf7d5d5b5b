# One interface target carries the project's compile flags; every target of ours links it.
add_library(vantor_flags INTERFACE)
target_compile_features(vantor_flags INTERFACE cxx_std_20)
target_compile_options(vantor_flags INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Werror)
target_compile_definitions(vantor_flags INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER)

set(VANTOR_SANITIZE "" CACHE STRING "Sanitizers for compile and link, e.g. address;undefined")
if(VANTOR_SANITIZE)
    list(JOIN VANTOR_SANITIZE "," _vantor_san)
    target_compile_options(vantor_flags INTERFACE
        -fsanitize=${_vantor_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(vantor_flags INTERFACE -fsanitize=${_vantor_san})
endif()

# Fuzzing instruments every target that a fuzz target links (the fuzz preset).
if(VANTOR_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "libFuzzer needs clang: configure with the fuzz preset")
    endif()
    target_compile_options(vantor_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()
