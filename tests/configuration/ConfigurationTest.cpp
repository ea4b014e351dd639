#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "configuration/Configuration.h"
#include "platform/Files.h"
#include "support/TempDir.h"
#include "support/TraceCapture.h"

using K = TTakePictureConfigurationKind;
using M = TTakePictureMode;

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(PathFromUtf8(path), std::ios::binary) << text;
}

void SetWritable(const std::string& path, bool writable) {
  fs::permissions(PathFromUtf8(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  writable ? fs::perm_options::add : fs::perm_options::remove);
}

class ConfigurationTest : public ::testing::Test {
 protected:
  TTempDir FDir;
  std::string FPath = FDir.File("sulo.configuration");
};

}  // namespace

TEST_F(ConfigurationTest, FileNameIsTheExecutableWithItsExtensionReplaced) {
  const std::string name = TConfiguration::DefaultFileName();
  EXPECT_EQ(PathFromUtf8(name).filename(), "configuration_tests.configuration");
  EXPECT_TRUE(PathFromUtf8(name).is_absolute());
}

TEST_F(ConfigurationTest, NoFileGivesAbsentValuesAndSaveWritesSevenSections) {
  TTraceCapture trace;
  TConfiguration config(FPath);
  EXPECT_EQ(config.GetTakePictureConfiguraion(M::Sulo), nullptr);
  config.Load();
  for (int m = 0; m < TakePictureModeCount; ++m) {
    auto* record = config.GetTakePictureConfiguraion(static_cast<M>(m));
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(record->Active);
    EXPECT_EQ(record->ISO, 0);
    EXPECT_EQ(record->GuideX, 271);
    EXPECT_EQ(record->GuideY, 321);
  }
  EXPECT_EQ(config.General().SaveLocation, "");
  EXPECT_TRUE(trace.Contains("LoadTakePictureConfiguration section : default"));
  EXPECT_TRUE(trace.Contains("GetTakePictureConfiguraion Mode DEFAULT"));
  EXPECT_TRUE(trace.Contains("GetTakePictureConfiguraion Count : 6"));

  config.Save();
  const std::string text = ReadFile(FPath);
  for (const char* section : {"[Default]", "[Sulo]", "[Portrait]", "[UV]", "[Polarization]", "[DermalLight]", "[General]"})
    EXPECT_NE(text.find(section), std::string::npos) << section;
  EXPECT_NE(text.find("GuideY=321"), std::string::npos);
  // Nothing left behind by the atomic replacement.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(FDir.Path()), std::filesystem::directory_iterator()), 1);
}

TEST_F(ConfigurationTest, RoundTripKeepsValuesAndUnknownContent) {
  WriteFile(FPath,
            "; booth 3\n[default]\nISO=72\n[Sulo]\nActive=5\nMotorSpeed=0x0A\nShutter=fast\nColorGainB=-3\n"
            "Custom=keep\n[Vendor]\nSerial=XYZ\n[General]\nSaveLocation=/srv/사진/2026\n");
  {
    TConfiguration config(FPath);
    config.Load();
    auto* sulo = config.GetTakePictureConfiguraion(M::Sulo);
    EXPECT_TRUE(sulo->Active);
    EXPECT_EQ(sulo->MotorSpeed, 10);
    EXPECT_EQ(sulo->Shutter, 0);
    EXPECT_EQ(sulo->ColorGainB, -3);
    EXPECT_EQ(config.GetTakePictureConfiguraion(M::Default)->ISO, 72);
    EXPECT_EQ(config.General().SaveLocation, "/srv/사진/2026");
    sulo->SetValue(K::Hue, 4);
    config.Save();
  }
  const std::string text = ReadFile(FPath);
  EXPECT_EQ(text.rfind("; booth 3\n[default]\nISO=72\n", 0), 0u) << text;
  EXPECT_NE(text.find("Active=1\n"), std::string::npos);
  EXPECT_NE(text.find("MotorSpeed=10\n"), std::string::npos);
  EXPECT_NE(text.find("Custom=keep\n"), std::string::npos);
  EXPECT_NE(text.find("[Vendor]\nSerial=XYZ\n"), std::string::npos);
  EXPECT_EQ(text.find("[Default]"), std::string::npos) << "the existing [default] section is reused";

  TConfiguration again(FPath);
  again.Load();
  EXPECT_EQ(again.GetTakePictureConfiguraion(M::Sulo)->ColorTone, 4);
  EXPECT_EQ(again.GetTakePictureConfiguraion(M::Sulo)->ColorGainB, -3);
  EXPECT_EQ(again.General().SaveLocation, "/srv/사진/2026");
}

// The next pictures go where the operator chose, blanks and quotes included.
TEST_F(ConfigurationTest, SaveFolderSurvivesSaveAndLoad) {
  for (const char* folder : {"/home/x/pics ", " /home/x/pics", "'pics'", "\"/home/x/my pics\""}) {
    TConfiguration config(FPath);
    config.Load();
    config.General().SaveLocation = folder;
    config.Save();
    TConfiguration again(FPath);
    again.Load();
    EXPECT_EQ(again.General().SaveLocation, folder);
  }
}

// A file an editor left with two byte-order marks reads the same after a save.
TEST_F(ConfigurationTest, DoubleByteOrderMarkReadsTheSameAfterSave) {
  WriteFile(FPath, "\xEF\xBB\xBF\xEF\xBB\xBF[Sulo]\nISO=12\n[General]\nSaveLocation=/srv/a\n");
  TConfiguration config(FPath);
  config.Load();
  EXPECT_EQ(config.GetTakePictureConfiguraion(M::Sulo)->ISO, 12);
  config.Save();
  TConfiguration again(FPath);
  again.Load();
  EXPECT_EQ(again.GetTakePictureConfiguraion(M::Sulo)->ISO, 12);
  EXPECT_EQ(again.General().SaveLocation, "/srv/a");
}

TEST_F(ConfigurationTest, LoadReplacesEveryRecord) {
  TConfiguration config(FPath);
  config.Load();
  config.GetTakePictureConfiguraion(M::UV)->ISO = 99;
  config.Load();
  EXPECT_EQ(config.GetTakePictureConfiguraion(M::UV)->ISO, 0);
}

TEST_F(ConfigurationTest, GarbageInputNeverFailsLoading) {
  static const char binary[] = "\x00\x01\xff\xfe[Sulo\n=\n==\nISO\n[Sulo]\nISO==3\n";
  const std::string cases[] = {
      std::string(binary, sizeof binary - 1),
      "[Sulo]\r\nISO=0x\r\nShutter=$\r\n[Sulo]\r\nISO=7\r\n",
      "[Sulo]\nISO=" + std::string(100000, '9') + "\n" + std::string(50000, 'x') + "\n",
      "no sections at all\nISO=5\n",
      "\xEF\xBB\xBF[Sulo]\nISO=12",
  };
  const std::int32_t expectedIso[] = {0, 0, 0, 0, 12};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    WriteFile(FPath, cases[i]);
    TConfiguration config(FPath);
    ASSERT_NO_THROW(config.Load()) << i;
    auto* sulo = config.GetTakePictureConfiguraion(M::Sulo);
    ASSERT_NE(sulo, nullptr);
    EXPECT_EQ(sulo->ISO, expectedIso[i]) << i;
    EXPECT_EQ(sulo->GuideX, 271) << i;
    EXPECT_NO_THROW(config.Save()) << i;
  }
}

TEST_F(ConfigurationTest, ReadOnlyFolderKeepsTheOldFileWhole) {
  const std::string original = "[Sulo]\nISO=5\n";
  WriteFile(FPath, original);
  TConfiguration config(FPath);
  config.Load();
  config.GetTakePictureConfiguraion(M::Sulo)->ISO = 6;
  SetWritable(Utf8FromPath(FDir.Path()), false);
  // Root passes folder permissions, and on Windows a folder's read-only mark
  // does not stop writes: there is nothing to refuse then.
  const bool refused = !std::ofstream(FDir.Path() / "probe");
  if (refused) {
    EXPECT_THROW(config.Save(), EConfigurationWrite);
    EXPECT_EQ(ReadFile(FPath), original);
  }
  SetWritable(Utf8FromPath(FDir.Path()), true);
  if (!refused) GTEST_SKIP() << "the system lets this process write into a read-only folder; see the tests below";
}

// Root ignores permission bits, so the refusal is made real by a folder that
// cannot hold the temporary file: a path below a regular file.
TEST_F(ConfigurationTest, UnwritableLocationRaisesUnableToWrite) {
  WriteFile(FDir.File("blocker"), "x");
  const std::string path = FDir.File("blocker") + "/sulo.configuration";
  TConfiguration config(path);
  config.Load();
  try {
    config.Save();
    FAIL() << "Save succeeded";
  } catch (const EConfigurationWrite& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
}

TEST_F(ConfigurationTest, ReadOnlyFileIsNotReplaced) {
  const std::string original = "[Sulo]\nISO=5\n";
  WriteFile(FPath, original);
  SetWritable(FPath, false);
  TConfiguration config(FPath);
  config.Load();
  config.GetTakePictureConfiguraion(M::Sulo)->ISO = 6;
  try {
    config.Save();
    ADD_FAILURE() << "a read-only configuration was replaced";
  } catch (const EConfigurationWrite& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + FPath);
  }
  EXPECT_EQ(ReadFile(FPath), original);
  SetWritable(FPath, true);
}

// Every save replaces the file the last one left; on Windows that is the step
// a plain rename refuses.
TEST_F(ConfigurationTest, SavesInARowEachReplaceTheFile) {
  TConfiguration config(FPath);
  config.Load();
  for (int iso : {1, 2, 3}) {
    config.GetTakePictureConfiguraion(M::UV)->ISO = iso;
    ASSERT_NO_THROW(config.Save()) << iso;
    TConfiguration again(FPath);
    again.Load();
    EXPECT_EQ(again.GetTakePictureConfiguraion(M::UV)->ISO, iso);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(FDir.Path()), fs::directory_iterator()), 1);
}

// A program folder with a Korean name: the file is found, written and
// replaced under that very name.
TEST_F(ConfigurationTest, KoreanFolderNamesAreKept) {
  const std::string folder = FDir.File("부스 프로그램");
  ASSERT_TRUE(fs::create_directory(PathFromUtf8(folder)));
  const std::string path = folder + "/sulo.configuration";
  WriteFile(path, "[Sulo]\nISO=12\n");
  TConfiguration config(path);
  config.Load();
  EXPECT_EQ(config.GetTakePictureConfiguraion(M::Sulo)->ISO, 12);
  config.GetTakePictureConfiguraion(M::Sulo)->ISO = 13;
  config.Save();
  config.Save();
  EXPECT_NE(ReadFile(path).find("ISO=13"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(PathFromUtf8(folder)), fs::directory_iterator()), 1);
}
