# Warnings, hardening and sanitizers shared by every target of the project.
option(VANTOR_WERROR "Treat warnings as errors" OFF)
option(VANTOR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(vantor_flags INTERFACE)
target_compile_features(vantor_flags INTERFACE cxx_std_20)
target_compile_definitions(vantor_flags INTERFACE
    QT_NO_KEYWORDS QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING QT_STRICT_ITERATORS
    QT_DISABLE_DEPRECATED_UP_TO=0x060400)
target_compile_options(vantor_flags INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wimplicit-fallthrough -Wformat=2 -fstack-protector-strong)
if(VANTOR_WERROR)
    target_compile_options(vantor_flags INTERFACE -Werror)
endif()
# _FORTIFY_SOURCE needs optimisation; at -O0 the compiler warns and -Werror would fail.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    target_compile_definitions(vantor_flags INTERFACE _FORTIFY_SOURCE=2)
endif()
target_link_options(vantor_flags INTERFACE -Wl,-z,relro -Wl,-z,now)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

if(VANTOR_SANITIZE)
    target_compile_options(vantor_flags INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(vantor_flags INTERFACE -fsanitize=address,undefined)
endif()

if(VANTOR_FUZZ)
    target_compile_options(vantor_flags INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(vantor_flags INTERFACE -fsanitize=address,undefined)
endif()
