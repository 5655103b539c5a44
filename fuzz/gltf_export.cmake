# A model and its texture through the glTF and PNG export, in memory.
if(TARGET tavro_export AND TARGET tavro_authoring)
    tavro_fuzz_target(gltf_export TARGET GltfExportFuzz.cpp SEEDS GltfExportSeeds.cpp PREFIXES 256
                      SOURCES G1MSeedModels.cpp DEPS tavro_export tavro_authoring)
endif()
