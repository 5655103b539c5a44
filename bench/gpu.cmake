tavro_bench(bench_gpu SOURCES ${CMAKE_CURRENT_LIST_DIR}/GpuBench.cpp DEPS tavro_gpu_recording)
if(TARGET tavro_gpu_opengl)
    tavro_bench(bench_gpu_gl SOURCES ${CMAKE_CURRENT_LIST_DIR}/GpuGLBench.cpp DEPS tavro_gpu_opengl)
endif()
