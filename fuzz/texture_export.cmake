# A G1T pack or DDS image decoded to RGBA and encoded as PNG, as the texture export does.
if(TARGET tavro_export AND TARGET tavro_authoring)
    tavro_fuzz_target(texture_export TARGET TextureExportFuzz.cpp SEEDS TextureExportSeeds.cpp
                      DEPS tavro_export tavro_authoring)
endif()
