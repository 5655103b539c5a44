# The readers' Open on fuzzed index bytes beside a data file of fuzzed size, seeded with writer archives.
if(TARGET tavro_archive AND TARGET tavro_authoring)
    tavro_fuzz_target(archive_index TARGET ArchiveIndexFuzz.cpp SEEDS ArchiveIndexSeeds.cpp PREFIXES 2048
                      SOURCES ArchivePair.cpp ArchiveSeedEntries.cpp DEPS tavro_archive tavro_authoring tavro_file)
endif()
