#pragma once
// A test suite whose cases each run the built tavro program on a generated schedule archive of their own
// (tests/app/ScheduleArchive.h), written before each case with the options the suite chose.
#include "tests/TempDirectory.h"
#include "tests/ToolProcess.h"
#include "tests/app/ScheduleArchive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tavro::testing {

class ScheduleArchiveSuite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(apptest::WriteScheduleArchive(archive, options), ""); }

    ToolRun Run(const std::vector<std::string>& arguments) { return RunTool(arguments, directory.path); }

    apptest::ScheduleArchiveOptions options; // set by the suite's constructor
    TempDirectory directory;
    std::filesystem::path archive = directory.path / "LINKDATA1.bin";
    std::string bin = archive.string();
};

} // namespace tavro::testing
