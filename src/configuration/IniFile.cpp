#include "configuration/IniFile.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/Files.h"

namespace {

std::string_view Trim(std::string_view s) {
  const char* ws = " \t\r\f\v";
  const auto first = s.find_first_not_of(ws);
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(ws);
  return s.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x < 0x80 && y < 0x80) {
      if (std::tolower(x) != std::tolower(y)) return false;
    } else if (x != y) {
      return false;
    }
  }
  return true;
}

// "[name]" → name; anything else → nullopt.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// "key=value" → {key, value}; comments and lines without "=" → nullopt.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
  const auto trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::make_pair(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
}

// A value enclosed in matching quotes is read without them.
std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Cuts at most `limit` bytes without splitting a UTF-8 sequence.
std::string Clip(std::string_view s, std::size_t limit) {
  if (s.size() <= limit) return std::string(s);
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return std::string(s.substr(0, end));
}

[[noreturn]] void Refused(const std::string& path) { throw std::runtime_error("Unable to write to " + path); }

}  // namespace

void TIniFile::SetText(std::string_view text) {
  FLines.clear();
  // Byte-order marks are skipped however many an editor left, and written
  // back as found.
  FByteOrderMarks = 0;
  while (text.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
    text.remove_prefix(ByteOrderMark.size());
    ++FByteOrderMarks;
  }
  FCrLf = false;
  const auto firstBreak = text.find('\n');
  if (firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r') FCrLf = true;
  FEndsWithNewline = text.empty() || text.back() == '\n';
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    // Carriage returns before the line feed are all part of the line end.
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    FLines.emplace_back(line);
    start = end + 1;
  }
}

std::string TIniFile::Text() const {
  const char* eol = FCrLf ? "\r\n" : "\n";
  std::string out;
  for (int i = 0; i < FByteOrderMarks; ++i) out += ByteOrderMark;
  for (std::size_t i = 0; i < FLines.size(); ++i) {
    out += FLines[i];
    if (i + 1 < FLines.size() || FEndsWithNewline) out += eol;
  }
  return out;
}

void TIniFile::LoadFromFile(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) {
    SetText({});
    return;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  SetText(bytes);
}

void TIniFile::SaveToFile(const std::string& path) const {
  if (!ReplaceFileContents(path, Text())) Refused(path);
}

std::optional<TIniFile::TLocation> TIniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < FLines.size(); ++i) {
    auto name = SectionName(FLines[i]);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < FLines.size() && !SectionName(FLines[end])) ++end;
    return TLocation{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> TIniFile::FindKey(const TLocation& where, std::string_view key) const {
  for (std::size_t i = where.SectionLine + 1; i < where.EndLine; ++i) {
    auto kv = KeyValue(FLines[i]);
    if (kv && SameName(kv->first, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> TIniFile::ReadString(std::string_view section, std::string_view key) const {
  auto where = FindSection(section);
  if (!where) return std::nullopt;
  auto line = FindKey(*where, key);
  if (!line) return std::nullopt;
  return Clip(Unquoted(KeyValue(FLines[*line])->second), MaxValueLength);
}

std::optional<std::int32_t> TIniFile::ParseInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.size() > 1 && text[0] == '$') {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (base == 10) {
    // Decimal must fit a signed 32-bit value.
    if (negative ? value > 0x80000000ull : value > 0x7FFFFFFFull) return std::nullopt;
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value)) : static_cast<std::int32_t>(value);
  }
  // Hexadecimal spells the 32 bits ("0xFFFFFFFF" is -1).
  const auto bits = static_cast<std::uint32_t>(value);
  const auto signedValue = static_cast<std::int32_t>(bits);
  return negative ? static_cast<std::int32_t>(0u - bits) : signedValue;
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t absent) const {
  auto text = ReadString(section, key);
  if (!text) return absent;
  return ParseInteger(*text).value_or(absent);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // A line feed inside a value would start a new line of the file. (A lone
  // carriage return does not end a line when the file is read, so it stays.)
  std::string flat(value);
  for (char& c : flat)
    if (c == '\n') c = ' ';
  // Reading trims blanks and takes off one pair of enclosing quotes; a value
  // that reading would change is written inside double quotes so that it
  // reads back exactly.
  if (Trim(flat).size() != flat.size() || Unquoted(flat).size() != flat.size()) flat = '"' + flat + '"';
  std::string line(key);
  line += '=';
  line += flat;
  auto where = FindSection(section);
  if (!where) {
    if (!FLines.empty() && !Trim(FLines.back()).empty()) FLines.emplace_back();
    std::string header(1, '[');
    header += section;
    header += ']';
    FLines.push_back(std::move(header));
    FLines.push_back(std::move(line));
    FEndsWithNewline = true;
    return;
  }
  if (auto at = FindKey(*where, key)) {
    // Keep the key's own spelling where it stands.
    const std::string& old = FLines[*at];
    std::string replaced(Trim(std::string_view(old).substr(0, old.find('='))));
    replaced += '=';
    replaced += flat;
    FLines[*at] = std::move(replaced);
    return;
  }
  // After the section's last non-blank line.
  std::size_t insertAt = where->EndLine;
  while (insertAt > where->SectionLine + 1 && Trim(FLines[insertAt - 1]).empty()) --insertAt;
  FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
  if (insertAt == FLines.size() - 1) FEndsWithNewline = true;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}
