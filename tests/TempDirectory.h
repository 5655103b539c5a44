#pragma once
// A fresh directory for one test, removed afterwards. Its name holds the process id and the running
// test's name, because CTest runs test cases in parallel processes that must never share files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#ifdef _WIN32
#include <process.h>
#define TAVRO_TEST_PROCESS_ID _getpid()
#else
#include <unistd.h>
#define TAVRO_TEST_PROCESS_ID ::getpid()
#endif

namespace tavro::testing {

class TempDirectory {
public:
    TempDirectory() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name =
            test != nullptr ? std::string(test->test_suite_name()) + "-" + test->name() : "suite";
        path = std::filesystem::temp_directory_path() /
               ("tavro-" + std::to_string(TAVRO_TEST_PROCESS_ID) + "-" + name);
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    std::filesystem::path path;
};

} // namespace tavro::testing
