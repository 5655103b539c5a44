# Lzp2Decode on arbitrary streams, and the encoder's round trip on arbitrary data.
if(TARGET tavro_archive AND TARGET tavro_authoring)
    tavro_fuzz_target(lzp2 TARGET Lzp2Fuzz.cpp SEEDS Lzp2Seeds.cpp DEPS tavro_archive tavro_authoring)
    if(TAVRO_BUILD_FUZZERS)
        # libFuzzer is guided by coverage of the code under test, so the decoder and the encoder must
        # be instrumented too, not only the entry point.
        target_compile_options(tavro_archive PRIVATE -fsanitize=fuzzer-no-link)
        target_compile_options(tavro_authoring PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endif()
