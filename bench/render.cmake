# The renderer's per-frame cost: CPU work of Render on the recording backend, and whole frames on
# llvmpipe. The generated models come from the renderer's test data library.
if(TARGET tavro_render_testdata)
    tavro_bench(bench_render SOURCES ${CMAKE_CURRENT_LIST_DIR}/RenderBench.cpp DEPS tavro_render_testdata)
    if(TARGET tavro_gpu_opengl)
        tavro_bench(bench_render_gl SOURCES ${CMAKE_CURRENT_LIST_DIR}/RenderGLBench.cpp
                    DEPS tavro_render_testdata tavro_gpu_opengl)
    endif()
endif()

# The render comparison's input: one archive row and the same sphere as a .glb (scripts/render-speed.sh).
if(TARGET tavro_authoring AND TARGET tavro_app_core)
    add_executable(make-render-pair ${CMAKE_CURRENT_LIST_DIR}/MakeRenderPair.cpp)
    target_link_libraries(make-render-pair PRIVATE tavro_settings tavro_authoring tavro_app_core)
endif()
