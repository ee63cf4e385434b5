// A fresh, empty folder for a test's files: under the build tree when ctest
// runs the tests (it sets VANTREL_TEST_TMP), else in the system's temporary
// folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace vantrel::test {

inline std::filesystem::path ScratchDir(std::string_view area, std::string_view name) {
  const char* root = std::getenv("VANTREL_TEST_TMP");
  std::filesystem::path dir =
      (root ? std::filesystem::path(root) : std::filesystem::temp_directory_path()) /
      std::string(area) / std::string(name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// Named after the test that runs.
inline std::filesystem::path ScratchDir(std::string_view area) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return ScratchDir(area, std::string(info->test_suite_name()) + "." + info->name());
}

}  // namespace vantrel::test
