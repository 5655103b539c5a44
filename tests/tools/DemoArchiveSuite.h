#pragma once
// A test suite whose cases share one small demo archive, written once per test process by the built
// tavro program's make-demo.
#include "tests/TempDirectory.h"
#include "tests/ToolProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tavro::testing {

class DemoArchiveSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new TempDirectory;
        const ToolRun demo = Run({"make-demo", (folder->path / "demo").string(), "--scale", "0.01"});
        made = demo.exitCode == 0;
        makeDemoLog = new std::string(demo.err);
    }
    static void TearDownTestSuite() {
        delete folder;
        delete makeDemoLog;
    }
    void SetUp() override { ASSERT_TRUE(made) << *makeDemoLog; }

    static ToolRun Run(const std::vector<std::string>& arguments) { return RunTool(arguments, folder->path); }
    static std::filesystem::path Archive() { return folder->path / "demo" / "LINKDATA1.bin"; }

    static inline TempDirectory* folder = nullptr;
    static inline bool made = false;
    static inline std::string* makeDemoLog = nullptr; // make-demo's stderr, which went to a file
};

} // namespace tavro::testing
