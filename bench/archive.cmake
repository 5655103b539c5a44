# Archive opening and entry extraction through the file layer, beside a memcpy of the same bytes.
if(TARGET tavro_archive AND TARGET tavro_authoring)
    tavro_bench(bench_archive SOURCES ${CMAKE_CURRENT_LIST_DIR}/ArchiveBench.cpp
                DEPS tavro_archive tavro_file tavro_authoring)
endif()
