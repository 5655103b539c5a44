# LZP2 decoder and encoder throughput; LZ4 (liblz4-dev) is linked only here, as the reference decoder.
if(TARGET tavro_archive AND TARGET tavro_authoring)
    tavro_bench(bench_lzp2 SOURCES ${CMAKE_CURRENT_LIST_DIR}/Lzp2Bench.cpp DEPS tavro_archive tavro_authoring lz4)
endif()
