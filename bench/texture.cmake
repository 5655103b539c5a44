if(TARGET tavro_texture AND TARGET tavro_authoring)
    tavro_bench(bench_texture SOURCES TextureBench.cpp DEPS tavro_texture tavro_authoring tavro_file)
endif()
