// A small INI store with the semantics of the platform's profile functions.
//
// The whole file is kept as its lines. Section and key names match without
// regard to letter case; the first matching section and key win. Writing a
// key replaces its value where it stands, or adds the key at the end of its
// section (adding the section at the end of the file when absent). Lines the
// store does not understand, comments, and unknown sections and keys are kept
// untouched and in order. Text is UTF-8; leading byte-order marks are skipped and written back; CRLF
// or LF line ends are read, and the file's own style is written back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TIniFile {
 public:
  // Longest text value handed out, as the profile functions do.
  static constexpr std::size_t MaxValueLength = 2047;

  TIniFile() = default;

  // Parses `text` (the whole file's bytes).
  void SetText(std::string_view text);
  // The file's bytes as they would be written.
  std::string Text() const;

  // Reads the file (`path` is UTF-8); an absent or unreadable file reads as
  // empty.
  void LoadFromFile(const std::string& path);
  // Writes the whole text to a temporary file beside `path`, flushed to the
  // disk, which then replaces `path` in one step, so the file is either the old
  // one or the new one, never half written. Throws
  // std::runtime_error("Unable to write to <path>") when the system refuses
  // (read-only file or folder, full disk).
  void SaveToFile(const std::string& path) const;

  std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
  // Integers in decimal, or hexadecimal with "0x"/"0X" or "$"; anything else
  // gives `absent`.
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t absent) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

  static std::optional<std::int32_t> ParseInteger(std::string_view text);

 private:
  struct TLocation {
    std::size_t SectionLine;  // index of the "[section]" line
    std::size_t EndLine;      // one past the section's last line
  };
  std::optional<TLocation> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const TLocation& where, std::string_view key) const;

  static constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

  std::vector<std::string> FLines;
  int FByteOrderMarks = 0;
  bool FCrLf = false;
  bool FEndsWithNewline = true;
};
