#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "logging/Log.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

TEST(LogTest, LinesCarryTimeThreadAndTextAndRotateAtTheBound) {
  TTempDir dir;
  const std::string path = dir.File("sulo.log");
  TLog::Instance().Open(path, 4096);
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t)
    writers.emplace_back([t] {
      TLog::SetThreadName("w" + std::to_string(t));
      for (int i = 0; i < 100; ++i) Trace("message " + std::to_string(i));
    });
  for (auto& w : writers) w.join();
  TLog::Instance().Close();

  ASSERT_TRUE(std::filesystem::exists(path + ".1"));
  EXPECT_LE(std::filesystem::file_size(path), 4096u);
  EXPECT_LE(std::filesystem::file_size(path + ".1"), 4096u);
  const std::regex shape(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[w[0-3]\] message \d+)");
  for (const auto& file : {path, path + ".1"})
    for (const auto& line : Lines(file)) EXPECT_TRUE(std::regex_match(line, shape)) << line;
}

// A program started again appends to the log it left: the bound counts the
// bytes already there.
TEST(LogTest, ReopenedFileKeepsTheBound) {
  TTempDir dir;
  const std::string path = dir.File("sulo.log");
  TLog::Instance().Open(path, 4096);
  for (int i = 0; i < 40; ++i) Trace("first run " + std::to_string(i));
  TLog::Instance().Close();
  const auto firstRun = std::filesystem::file_size(path);
  ASSERT_GT(firstRun, 1000u);
  TLog::Instance().Open(path, 4096);
  for (int i = 0; i < 60; ++i) Trace("second run " + std::to_string(i));
  TLog::Instance().Close();
  ASSERT_TRUE(std::filesystem::exists(path + ".1"));
  EXPECT_LE(std::filesystem::file_size(path + ".1"), 4096u);
  EXPECT_LE(std::filesystem::file_size(path), 4096u);
}

TEST(LogTest, UnopenableFileNeverThrows) {
  TLog::Instance().Open("/nonexistent-folder/x/sulo.log");
  EXPECT_NO_THROW(Trace("lost"));
  TLog::Instance().Close();
  EXPECT_NO_THROW(Trace("no file at all"));
}
