# One place for the language level, the warnings and Qt's strict defines; every target links it.
add_library(vantrel_build_options INTERFACE)
target_compile_features(vantrel_build_options INTERFACE cxx_std_20)
target_compile_definitions(vantrel_build_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_KEYWORDS
    QT_STRICT_ITERATORS)
target_compile_options(vantrel_build_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wconversion -Wsign-conversion -Wformat=2)
if(VANTREL_WARNINGS_AS_ERRORS)
    target_compile_options(vantrel_build_options INTERFACE -Werror)
endif()
if(VANTREL_SANITIZE)
    target_compile_options(vantrel_build_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(vantrel_build_options INTERFACE -fsanitize=address,undefined)
endif()
if(VANTREL_FUZZ)
    # Coverage counters in every library of ours, so that the fuzzers find their way past the
    # first checks; the fuzz targets add libFuzzer's main when they link.
    target_compile_options(vantrel_build_options INTERFACE -fsanitize=fuzzer-no-link)
    target_link_options(vantrel_build_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
