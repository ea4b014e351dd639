#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/WideText.h"
#include "saving/PictureFile.h"
#include "saving/PictureFileSystem.h"

namespace {
// The system's own words for an error, without the line end it adds.
std::string Reason(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length ? std::wstring(text, length) : L"error " + std::to_wstring(error);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L'.'))
    message.pop_back();
  return Utf8FromWide(message);
}

bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    done += written;
  }
  return FlushFileBuffers(file) != 0;
}
}  // namespace

namespace PictureFileSystem {

std::string WriteTemporary(const std::string& dir, const std::vector<std::uint8_t>& bytes) {
  static std::atomic<unsigned> counter{0};
  const std::wstring wideDir = WideFromUtf8(dir);
  std::wstring name;
  HANDLE file = INVALID_HANDLE_VALUE;
  // CREATE_NEW: a name another writer holds is never shared, only skipped.
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    name = wideDir + L".sulo-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L"-" +
           std::to_wstring(GetTickCount());
    file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
  if (file == INVALID_HANDLE_VALUE)
    throw EPictureSave("The picture could not be saved in " + dir + ": " + Reason(GetLastError()));
  if (!WriteAll(file, bytes)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    DeleteFileW(name.c_str());
    throw EPictureSave("The picture could not be saved in " + dir + ": " + Reason(error));
  }
  CloseHandle(file);
  return Utf8FromWide(name);
}

// Without MOVEFILE_REPLACE_EXISTING the move refuses a name that is taken, so
// the name is claimed and filled in one step; write-through puts the new name
// on the disk before the call returns.
bool Publish(const std::string& temp, const std::string& path) {
  if (MoveFileExW(WideFromUtf8(temp).c_str(), WideFromUtf8(path).c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return false;
  throw EPictureSave("The picture could not be saved as " + path + ": " + Reason(error));
}

void Discard(const std::string& temp) noexcept {
  try {
    DeleteFileW(WideFromUtf8(temp).c_str());
  } catch (...) {
  }
}

// The write-through move has already put the entry on the disk.
void SyncFolder(const std::string&) noexcept {}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace PictureFileSystem
