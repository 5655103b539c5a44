# One schedule row through the model cycler and a frame on the recording device.
if(TARGET tavro_app_core AND TARGET tavro_gpu_recording AND TARGET tavro_authoring)
    tavro_fuzz_target(whole_row TARGET WholeRowFuzz.cpp SEEDS WholeRowSeeds.cpp PREFIXES 64 SOURCES ArchivePair.cpp
                      DEPS tavro_app_core tavro_gpu_recording tavro_authoring)
endif()
