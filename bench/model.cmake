# Model loading throughput and the per-frame draw list.
if(TARGET tavro_model AND TARGET tavro_authoring)
    tavro_bench(model_bench SOURCES ModelBench.cpp DEPS tavro_model tavro_file tavro_authoring)
endif()
