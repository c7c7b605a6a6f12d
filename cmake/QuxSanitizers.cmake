# Sanitizer and fuzzing builds (clang only), for scripts/sanitize.sh and scripts/fuzz.sh.
#
# QUX_SANITIZE: everything built with AddressSanitizer and UndefinedBehaviorSanitizer, no recovery
#   (the first finding aborts). The shared sanitizer runtime is linked, so that the plug-in module
#   (linked with --no-undefined) finds the sanitizer's symbols in a library of its own.
# QUX_FUZZ: QUX_SANITIZE plus coverage instrumentation for libFuzzer everywhere, and the targets of
#   fuzz/. One tree serves both stages, so CI builds the project with sanitizers only once; the
#   coverage callbacks cost the tests little.
if(NOT (QUX_SANITIZE OR QUX_FUZZ))
    return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUX_SANITIZE and QUX_FUZZ need clang (scripts/setup.sh installs it)")
endif()

set(QUX_SANITIZERS address,undefined)
if(QUX_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
add_compile_options(-fsanitize=${QUX_SANITIZERS} -fno-sanitize-recover=all -fno-omit-frame-pointer)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libclang_rt.asan-x86_64.so
                OUTPUT_VARIABLE QUX_SANITIZER_RUNTIME OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(QUX_SANITIZER_RUNTIME_DIR "${QUX_SANITIZER_RUNTIME}" DIRECTORY)
add_link_options(-fsanitize=${QUX_SANITIZERS} -shared-libsan
                 -Wl,-rpath,${QUX_SANITIZER_RUNTIME_DIR})

if(NOT QUX_FUZZ)
    return()
endif()
add_custom_target(fuzzers)
set(QUX_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)

# qux_add_fuzzer(<name> SOURCES <files...> [DEPENDS <targets...>])
# A libFuzzer executable fuzz/<name> in the build tree. Its seed corpus is fuzz/corpus/<name>/ in
# the source tree; scripts/fuzz.sh runs every target built into the tree's fuzz/ folder.
function(qux_add_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUX_FUZZ_DIR})
    add_dependencies(fuzzers ${name})
endfunction()
