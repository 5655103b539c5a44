# CG1MModel::Load and the draw list, seeded with models from the G1M writer.
if(TARGET tavro_model AND TARGET tavro_authoring)
    tavro_fuzz_target(g1m TARGET G1MFuzz.cpp SEEDS G1MFuzzSeeds.cpp SOURCES G1MSeedModels.cpp DEPS tavro_model tavro_file tavro_authoring)
endif()
