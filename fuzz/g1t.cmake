if(TARGET tavro_texture AND TARGET tavro_authoring)
    tavro_fuzz_target(g1t TARGET G1TFuzz.cpp SEEDS G1TSeeds.cpp DEPS tavro_texture tavro_authoring tavro_file)
endif()
