// Saving a picture file: the time-stamp name and the next free number, no
// temporary file left behind, two writers never sharing a name, Korean
// folder names, and folders that cannot be made.
#include <gtest/gtest.h>

#include <QDateTime>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/Files.h"
#include "saving/PictureFile.h"
#include "support/TempDir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const QDateTime When(QDate(2017, 6, 3), QTime(14, 5, 9));
const Bytes Jpeg = {0xFF, 0xD8, 0xFF, 0xD9};

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> all;
  for (const auto& e : std::filesystem::directory_iterator(PathFromUtf8(folder))) all.push_back(Utf8FromPath(e.path().filename()));
  std::sort(all.begin(), all.end());
  return all;
}

Bytes Contents(const std::string& path) {
  Bytes bytes;
  if (std::FILE* f = OpenFile(path, "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(f);
  }
  return bytes;
}

TEST(PictureFile, NamesTakeTheNextFreeNumber) {
  TTempDir dir;
  EXPECT_EQ(PictureFileName(When), "20170603140509.jpg");
  const std::string folder = dir.File("same-second");  // no trailing separator, not there yet
  std::vector<std::string> names;
  bool made = false;
  for (int i = 0; i < 3; ++i) {
    names.push_back(Utf8FromPath(PathFromUtf8(SavePictureFile(folder, Jpeg, When, &made)).filename()));
    EXPECT_EQ(made, i == 0);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"20170603140509.jpg", "20170603140509-2.jpg", "20170603140509-3.jpg"}));
  EXPECT_EQ(Names(folder).size(), 3u) << "no temporary file is left behind";
  EXPECT_EQ(std::filesystem::status(PathFromUtf8(folder) / "20170603140509.jpg").permissions() &
                std::filesystem::perms::others_read,
            std::filesystem::perms::others_read);
  EXPECT_THROW(SavePictureFile("", Jpeg, When), EPictureSave);
}

TEST(PictureFile, AFileThatIsThereIsNeverReplaced) {
  TTempDir dir;
  const std::string folder = dir.File("kept");
  std::filesystem::create_directories(PathFromUtf8(folder));
  const std::string taken = folder + "/20170603140509.jpg";
  std::FILE* f = OpenFile(taken, "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("older picture", f);
  std::fclose(f);
  const std::string written = SavePictureFile(folder + "/", Bytes{1, 2, 3}, When);
  EXPECT_EQ(PathFromUtf8(written).filename(), PathFromUtf8("20170603140509-2.jpg"));
  const std::string older = "older picture";
  EXPECT_EQ(Contents(taken), Bytes(older.begin(), older.end()));
  EXPECT_EQ(Contents(written), (Bytes{1, 2, 3}));
}

TEST(PictureFile, TwoWritersAtOnceNeverShareAName) {
  TTempDir dir;
  const std::string shared = dir.File("two-writers");
  std::vector<std::string> got(2);
  std::thread a([&] { got[0] = SavePictureFile(shared, Jpeg, When); });
  std::thread b([&] { got[1] = SavePictureFile(shared, Jpeg, When); });
  a.join();
  b.join();
  EXPECT_NE(got[0], got[1]);
  EXPECT_EQ(Names(shared).size(), 2u);
}

TEST(PictureFile, AKoreanFolderIsTheFolderOnDisk) {
  TTempDir dir;
  const std::string folder = dir.File("사진") + "/환자";
  const std::string written = SavePictureFile(folder, Jpeg, When);
  EXPECT_EQ(written, folder + "/20170603140509.jpg");
  EXPECT_EQ(Names(dir.File("사진")), (std::vector<std::string>{"환자"}));
  EXPECT_EQ(Contents(written), Jpeg);
}

TEST(PictureFile, AFolderThatCannotBeMadeIsRefusedLeavingNothing) {
  TTempDir dir;
  // A file where the folder should be.
  const std::string blocked = dir.File("blocked");
  std::fclose(OpenFile(blocked, "wb"));
  EXPECT_THROW(SavePictureFile(blocked + "/pictures", Jpeg, When), EPictureSave);
  EXPECT_EQ(Names(dir.File("")), (std::vector<std::string>{"blocked"}));
}

}  // namespace
