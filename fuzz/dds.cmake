if(TARGET tavro_texture AND TARGET tavro_authoring)
    tavro_fuzz_target(dds TARGET DDSFuzz.cpp SEEDS DDSSeeds.cpp DEPS tavro_texture tavro_authoring tavro_file)
endif()
