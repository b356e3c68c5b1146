// Common ground of the engine's unit tests: a scratch directory of the
// test's own, default unattended options, and file helpers.
#pragma once

#include <gtest/gtest.h>

#include <string>

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Full path of name inside the scratch directory.
    std::string At(const std::string& name) const { return m_dir + "\\" + name; }

    std::string m_dir;
};
