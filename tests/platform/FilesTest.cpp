#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t Entries(const std::filesystem::path& folder) {
  return std::size_t(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

// Replacing an existing file is the step the rename of the C library does not
// take on Windows; both saves must land.
TEST(FilesTest, ReplacingTwiceInARowKeepsTheLastAndLeavesNothingBehind) {
  TTempDir dir;
  const std::string path = dir.File("sulo.configuration");
  ASSERT_TRUE(ReplaceFileContents(path, "first\n"));
  ASSERT_TRUE(ReplaceFileContents(path, "second\n"));
  ASSERT_TRUE(ReplaceFileContents(path, ""));
  ASSERT_TRUE(ReplaceFileContents(path, "third\n"));
  EXPECT_EQ(Contents(path), "third\n");
  EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST(FilesTest, AReadOnlyFileIsRefusedAndKeptWhole) {
  TTempDir dir;
  const std::string path = dir.File("sulo.configuration");
  ASSERT_TRUE(ReplaceFileContents(path, "old\n"));
  namespace fs = std::filesystem;
  fs::permissions(PathFromUtf8(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_FALSE(ReplaceFileContents(path, "new\n"));
  EXPECT_EQ(Contents(path), "old\n");
  EXPECT_EQ(Entries(dir.Path()), 1u);
  fs::permissions(PathFromUtf8(path), fs::perms::owner_write, fs::perm_options::add);
}

TEST(FilesTest, AFileBelowARegularFileIsRefused) {
  TTempDir dir;
  ASSERT_TRUE(ReplaceFileContents(dir.File("blocker"), "x"));
  EXPECT_FALSE(ReplaceFileContents(dir.File("blocker") + "/sulo.configuration", "new\n"));
  EXPECT_EQ(OpenFile(dir.File("blocker") + "/sulo.log", "ab"), nullptr);
}

// UTF-8 names reach the system as the names they spell: on Windows they
// would otherwise pass through the local code page and come out as "?".
TEST(FilesTest, KoreanNamesAreTheNamesOnDisk) {
  TTempDir dir;
  const std::string folder = dir.File("사진 폴더");
  ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(folder)));
  const std::string path = folder + "/설정.configuration";
  ASSERT_TRUE(ReplaceFileContents(path, "[Sulo]\n"));
  ASSERT_TRUE(ReplaceFileContents(path, "[General]\n"));
  EXPECT_EQ(Contents(path), "[General]\n");

  std::FILE* log = OpenFile(folder + "/기록.log", "ab");
  ASSERT_NE(log, nullptr);
  std::fputs("line\n", log);
  std::fclose(log);
  ASSERT_TRUE(MoveFileReplacing(folder + "/기록.log", path));
  EXPECT_EQ(Contents(path), "line\n");

  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(folder)))
    names.push_back(Utf8FromPath(entry.path().filename()));
  EXPECT_EQ(names, std::vector<std::string>{"설정.configuration"});
}

TEST(FilesTest, ExecutablePathIsThisProgram) {
  const std::filesystem::path exe = PathFromUtf8(ExecutablePath());
  EXPECT_TRUE(exe.is_absolute());
  EXPECT_EQ(exe.stem(), "platform_tests");
  EXPECT_TRUE(std::filesystem::is_regular_file(exe));
}

}  // namespace
