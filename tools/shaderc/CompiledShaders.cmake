# tavro_compile_shaders(OUTPUT header SHADERS symbol profile source [symbol profile source ...])
# Compiles HLSL sources to DXBC at build time with tavro-shaderc (our tool over D3DCompile) and writes
# them as one C++ header of byte arrays. Windows builds only: the tool is a Windows program, run under
# the cross-compiling emulator (Wine) when cross-building and directly on Windows.
if(NOT TARGET tavro_shaderc)
    add_executable(tavro_shaderc ${CMAKE_CURRENT_LIST_DIR}/ShaderCompiler.cpp)
    target_link_libraries(tavro_shaderc PRIVATE tavro_settings d3dcompiler)
endif()

function(tavro_compile_shaders)
    cmake_parse_arguments(ARG "" "OUTPUT" "SHADERS" ${ARGN})
    set(sources "")
    set(args "")
    list(LENGTH ARG_SHADERS count)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 3)
        math(EXPR p "${i} + 1")
        math(EXPR s "${i} + 2")
        list(GET ARG_SHADERS ${i} symbol)
        list(GET ARG_SHADERS ${p} profile)
        list(GET ARG_SHADERS ${s} source)
        list(APPEND args ${symbol} ${profile} ${source})
        list(APPEND sources ${source})
    endforeach()
    # A target in COMMAND runs through CMAKE_CROSSCOMPILING_EMULATOR when cross-compiling.
    add_custom_command(OUTPUT ${ARG_OUTPUT}
                       COMMAND tavro_shaderc ${ARG_OUTPUT} ${args}
                       DEPENDS tavro_shaderc ${sources}
                       COMMENT "Compiling shaders to DXBC: ${ARG_OUTPUT}"
                       VERBATIM)
endfunction()
