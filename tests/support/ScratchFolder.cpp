#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace quarn::test {

namespace {

// Parameterised test names hold a '/': one folder per test, not a nested one.
std::string TestName()
{
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (!info) return "outside_tests";
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  std::replace(name.begin(), name.end(), '/', '_');
  return name;
}

}  // namespace

TScratchFolder::TScratchFolder(const std::string& prefix, const std::string& parent)
{
  static int made = 0;  // folders made by this process, for two in one test
  Name = prefix + std::to_string(getpid()) + "_" + std::to_string(made++) + "_" + TestName();
  const std::string base =
      parent.empty() ? std::filesystem::temp_directory_path().string() + "/" : parent;
  Path = base + Name + "/";
  std::error_code ignored;
  std::filesystem::remove_all(Path, ignored);
  std::filesystem::create_directories(Path);
}

TScratchFolder::~TScratchFolder()
{
  std::error_code ignored;
  std::filesystem::remove_all(Path, ignored);
}

std::string TScratchFolder::Write(const std::string& name, std::string_view bytes) const
{
  std::ofstream(Path + name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  return Name + "/" + name;
}

}  // namespace quarn::test
