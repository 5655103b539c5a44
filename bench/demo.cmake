# The demo archive: the whole make-demo run, and one row's model and texture pack by kind.
if(TARGET tavro_demo)
    tavro_bench(demo_bench SOURCES DemoBench.cpp DEPS tavro_demo)
endif()
