# Entry extraction in every transform mode from fuzzed index records and data bytes.
if(TARGET tavro_archive AND TARGET tavro_authoring)
    tavro_fuzz_target(extraction TARGET EntryExtractionFuzz.cpp SEEDS EntryExtractionSeeds.cpp PREFIXES 256
                      SOURCES ArchivePair.cpp ArchiveSeedEntries.cpp DEPS tavro_archive tavro_authoring tavro_file)
endif()
