# The shell: one LoadNextModel (archive open, index read, two extractions, parse, conversion, upload to
# the recording backend) for typical and large entries; the main thread's share of a switch to a
# prepared row on both backends; and whole frames of the desktop window.
if(TARGET tavro_app_testdata)
    tavro_bench(bench_shell SOURCES ${CMAKE_CURRENT_LIST_DIR}/ShellBench.cpp
                DEPS tavro_app_testdata tavro_gpu_recording)
    if(TARGET tavro_gpu_opengl)
        tavro_bench(bench_switch SOURCES ${CMAKE_CURRENT_LIST_DIR}/SwitchBench.cpp
                    DEPS tavro_app_testdata tavro_gpu_recording tavro_gpu_opengl)
    endif()
    if(TARGET tavro-viewer)
        tavro_bench(bench_shell_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/ShellWindowBench.cpp
                    DEPS tavro_app_testdata tavro_platform_sdl tavro_gpu_opengl)
    endif()
endif()
