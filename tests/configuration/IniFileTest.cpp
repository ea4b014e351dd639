#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "configuration/IniFile.h"

TEST(IniFileTest, ParseIntegerCases) {
  struct {
    const char* Text;
    std::optional<std::int32_t> Expected;
  } cases[] = {
      {"10", 10},          {"-3", -3},           {" 42 ", 42},        {"0x0A", 10},           {"0X0a", 10},
      {"$FF", 255},        {"0xFFFFFFFF", -1},   {"-$10", -16},       {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},                {"2147483648", std::nullopt},             {"0x100000000", std::nullopt},
      {"ten", std::nullopt}, {"", std::nullopt}, {"0x", std::nullopt}, {"$", std::nullopt}, {"12abc", std::nullopt},
      {"1.5", std::nullopt}, {"-", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(TIniFile::ParseInteger(c.Text), c.Expected) << "'" << c.Text << "'";
}

TEST(IniFileTest, ReadsCaseInsensitivelyFirstMatchWins) {
  TIniFile ini;
  ini.SetText("\xEF\xBB\xBF; comment\r\n[default]\r\nISO = 0x48\r\niso=5\r\n[DEFAULT]\r\nShutter=9\r\n");
  EXPECT_EQ(ini.ReadInteger("Default", "ISO", 0), 0x48);
  // A repeated section is not consulted, as the profile functions do.
  EXPECT_EQ(ini.ReadInteger("Default", "Shutter", -1), -1);
  EXPECT_EQ(ini.ReadString("nope", "ISO"), std::nullopt);
  EXPECT_EQ(ini.ReadString("default", "missing"), std::nullopt);
}

TEST(IniFileTest, WritesInPlaceOrAppendsAndKeepsEverythingElse) {
  TIniFile ini;
  ini.SetText("; keep me\r\n[Sulo]\r\nunknown=1\r\nISO=5\r\n\r\n[Other]\r\nx=y\r\n");
  ini.WriteInteger("sulo", "iso", 7);
  ini.WriteInteger("Sulo", "Shutter", 3);
  ini.WriteString("General", "SaveLocation", "/home/a b/c");
  EXPECT_EQ(ini.Text(),
            "; keep me\r\n[Sulo]\r\nunknown=1\r\nISO=7\r\nShutter=3\r\n\r\n[Other]\r\nx=y\r\n\r\n"
            "[General]\r\nSaveLocation=/home/a b/c\r\n");
}

TEST(IniFileTest, ValueLineBreaksCannotInjectKeys) {
  TIniFile ini;
  ini.WriteString("General", "SaveLocation", "/a\n[Sulo]\nISO=1");
  EXPECT_EQ(ini.ReadString("Sulo", "ISO"), std::nullopt);
  EXPECT_EQ(*ini.ReadString("General", "SaveLocation"), "/a [Sulo] ISO=1");
}

TEST(IniFileTest, LongValuesAreCutAtACharacterBoundary) {
  TIniFile ini;
  std::string value(2046, 'a');
  value += "\xEA\xB0\x80";  // a three-byte character straddling the limit
  ini.SetText("[G]\nk=" + value + "\n");
  const auto read = ini.ReadString("G", "k");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->size(), 2046u);
}

// Whatever is written reads back exactly, through the file's text, even where
// reading would trim blanks or take off enclosing quotes.
TEST(IniFileTest, ValuesReadBackAsWritten) {
  const char* values[] = {
      "/home/x/pics ", " /home/x/pics", "\t", "  ", "'pics'", "\"/home/x/my pics\"", "\"", "'", "\"a'",
      "\"\"", "a\rb", "x\r", "", "plain", "a \"quoted\" word", "=", ";not a comment",
  };
  for (const char* value : values) {
    TIniFile writer;
    writer.WriteString("General", "SaveLocation", value);
    TIniFile reader;
    reader.SetText(writer.Text());
    EXPECT_EQ(reader.ReadString("General", "SaveLocation"), std::string(value)) << "'" << value << "'";
  }
}

TEST(IniFileTest, ByteOrderMarksAreSkippedAndKept) {
  for (std::string marks : {"\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBF"}) {
    TIniFile ini;
    ini.SetText(marks + "[Sulo]\nISO=12\n");
    EXPECT_EQ(ini.ReadInteger("Sulo", "ISO", 0), 12);
    ini.WriteInteger("Sulo", "Shutter", 3);
    EXPECT_EQ(ini.Text(), marks + "[Sulo]\nISO=12\nShutter=3\n");
  }
}

// A store that was saved and read again saves the same bytes, whatever line
// ends the file had (a line with stray carriage returns before its line feed).
TEST(IniFileTest, SavingTwiceWritesTheSameText) {
  for (const char* text : {"a\n[S]\r\r\nk=$9\r\r\n", "[S]\r\nk=1\r\r\n", "k=1\r"}) {
    TIniFile first;
    first.SetText(text);
    first.WriteInteger("S", "k", 1);
    TIniFile second;
    second.SetText(first.Text());
    second.WriteInteger("S", "k", 1);
    EXPECT_EQ(second.Text(), first.Text()) << text;
  }
}
