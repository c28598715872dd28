#pragma once
// Helpers of the metrics tests: golden files and scratch files.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace lt::test {

// The golden files of tests/metrics/data (the build passes the folder).
inline std::string goldenPath(const std::string& name)
{
    return std::string(LTRAKW_METRICS_TEST_DATA) + "/" + name;
}

inline std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh, empty directory for the running test.
inline std::string scratchDirectory()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    const auto directory = std::filesystem::temp_directory_path() / ("ltrakw-metrics-" + name);
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
    return directory.string();
}

} // namespace lt::test
