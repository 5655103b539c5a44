# Project-wide settings of the MinGW-w64 cross build, read right after project().

# Header-only libraries (stb, CLI11, nlohmann's JSON, tinygltf) are the same code on every target, but
# the cross compiler does not search the host's /usr/include, which also holds Linux-only headers. Only
# these are made visible, through links in the build tree.
set(TAVRO_MINGW_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
foreach(header stb CLI nlohmann tiny_gltf.h)
    if(EXISTS /usr/include/${header} AND NOT EXISTS ${TAVRO_MINGW_HOST_HEADERS}/${header})
        file(MAKE_DIRECTORY ${TAVRO_MINGW_HOST_HEADERS})
        file(CREATE_LINK /usr/include/${header} ${TAVRO_MINGW_HOST_HEADERS}/${header} SYMBOLIC)
    endif()
endforeach()
include_directories(SYSTEM ${TAVRO_MINGW_HOST_HEADERS})

# MinGW-w64 g++ 12 at -O2 and above reports overlaps and over-reads inside the standard library's own
# copies (std::char_traits, std::copy) on paths the callers' checks rule out; the native g++ does not.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict> $<$<COMPILE_LANGUAGE:CXX>:-Wno-stringop-overread>)
