# Lzp2Decode on arbitrary streams, and the encoder's round trip on arbitrary data.
if(TARGET tavro_archive AND TARGET tavro_authoring)
    tavro_fuzz_target(lzp2 TARGET Lzp2Fuzz.cpp SEEDS Lzp2Seeds.cpp DEPS tavro_archive tavro_authoring)
endif()
