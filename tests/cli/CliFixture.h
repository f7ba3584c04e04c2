// What the CLI tests share: a scratch folder per test, and a file read whole.
#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace pw::test {

inline std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder named after the test (and the process, so two build folders testing at once keep
// apart), removed afterwards.
class CScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = std::filesystem::temp_directory_path() /
                ("pw-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                 std::to_string(getpid()));
        std::filesystem::remove_all(m_Dir);
        std::filesystem::create_directories(m_Dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_Dir); }

    std::filesystem::path m_Dir;
};

} // namespace pw::test
