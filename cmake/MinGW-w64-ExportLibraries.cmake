# The export's libraries for the Windows build, made as the Linux build gets them from Debian's packages:
# libsquish compiled from Debian's source of it (scripts/install-mingw-deps.sh puts it in place), and
# tinygltf from Debian's header with its implementation compiled once, writing only (images reach it
# as PNG bytes already, so its image codecs are left out).
set(TAVRO_MINGW_SQUISH_SOURCE /usr/local/src/tavro-mingw/libsquish CACHE PATH "libsquish's source folder")
if(NOT EXISTS ${TAVRO_MINGW_SQUISH_SOURCE}/squish.h)
    message(FATAL_ERROR "libsquish's source is not in ${TAVRO_MINGW_SQUISH_SOURCE}: "
                        "scripts/install-mingw-deps.sh puts it there")
endif()
# Built as its own CMake script builds it for Windows: no SSE code path, no OpenMP.
add_library(squish STATIC)
foreach(source alpha clusterfit colourblock colourfit colourset maths rangefit singlecolourfit squish)
    target_sources(squish PRIVATE ${TAVRO_MINGW_SQUISH_SOURCE}/${source}.cpp)
endforeach()
target_include_directories(squish SYSTEM PUBLIC ${TAVRO_MINGW_SQUISH_SOURCE})
set(SQUISH_LIBRARY squish)
set(SQUISH_INCLUDE_DIR ${TAVRO_MINGW_SQUISH_SOURCE})

add_library(tavro_tinygltf STATIC ${CMAKE_CURRENT_LIST_DIR}/TinyGltfImplementation.cpp)
target_compile_definitions(tavro_tinygltf PUBLIC TINYGLTF_NO_STB_IMAGE TINYGLTF_NO_STB_IMAGE_WRITE
                                                 TINYGLTF_NO_EXTERNAL_IMAGE)
add_library(TinyGLTF::TinyGLTF ALIAS tavro_tinygltf)
