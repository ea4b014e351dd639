#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/Files.h"
#include "platform/WideText.h"

std::filesystem::path PathFromUtf8(std::string_view text) { return std::filesystem::path(WideFromUtf8(text)); }

std::string Utf8FromPath(const std::filesystem::path& path) { return Utf8FromWide(path.native()); }

std::FILE* OpenFile(const std::string& path, const char* mode) noexcept {
  try {
    return _wfopen(WideFromUtf8(path).c_str(), WideFromUtf8(mode).c_str());
  } catch (...) {
    return nullptr;
  }
}

namespace {

// Write-through: the rename is on the disk when the call returns, like the
// data flushed before it.
constexpr DWORD ReplaceFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

// A temporary file of our own beside `path`, or INVALID_HANDLE_VALUE.
HANDLE CreateTemporary(const std::wstring& path, std::wstring& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = path + L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    const HANDLE file =
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool MoveFileReplacing(const std::string& from, const std::string& to) noexcept {
  try {
    return MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(), ReplaceFlags) != 0;
  } catch (...) {
    return false;
  }
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) noexcept {
  try {
    const std::wstring target = WideFromUtf8(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;

    std::wstring tmp;
    const HANDLE file = CreateTemporary(target, tmp);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
      const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 20));
      DWORD written = 0;
      ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written > 0;
      done += written;
    }
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok || !MoveFileExW(tmp.c_str(), target.c_str(), ReplaceFlags)) {
      DeleteFileW(tmp.c_str());
      return false;
    }
    return true;
  } catch (...) {
    return false;
  }
}

std::string ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (length == 0) return {};
    // A name that filled the buffer may have been cut short: try a larger one.
    if (length < buffer.size()) {
      buffer.resize(length);
      return Utf8FromWide(buffer);
    }
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}
