#include "logging/Log.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <sstream>
#include <thread>

#include "platform/Files.h"
#include "platform/LocalTime.h"

namespace {

thread_local std::string tThreadName;

std::string ThreadLabel() {
  if (!tThreadName.empty()) return tThreadName;
  std::ostringstream s;
  s << "t" << std::hash<std::thread::id>{}(std::this_thread::get_id()) % 100000;
  return s.str();
}

std::string Stamp() {
  const auto now = std::chrono::system_clock::now();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const std::tm local = LocalTime(t);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms));
  return buf;
}

}  // namespace

TLog& TLog::Instance() {
  static TLog instance;
  return instance;
}

void TLog::SetThreadName(std::string name) { tThreadName = std::move(name); }

void TLog::Open(const std::string& path, std::size_t maxBytes) noexcept {
  std::lock_guard guard(FLock);
  if (FFile) std::fclose(FFile);
  FPath = path;
  FMaxBytes = maxBytes;
  FFile = OpenFile(path, "ab");
  FSize = 0;
  if (FFile) {
    // An append stream need not start at the end (the Windows C library puts
    // it there only at the first write), so ask for the size explicitly.
    std::fseek(FFile, 0, SEEK_END);
    long pos = std::ftell(FFile);
    FSize = pos > 0 ? static_cast<std::size_t>(pos) : 0;
  }
}

void TLog::Close() noexcept {
  std::lock_guard guard(FLock);
  if (FFile) std::fclose(FFile);
  FFile = nullptr;
  FPath.clear();
}

std::string TLog::FileName() const {
  std::lock_guard guard(FLock);
  return FPath;
}

void TLog::SetListener(TListener listener) {
  std::lock_guard guard(FLock);
  FListener = std::move(listener);
}

void TLog::RotateLocked() noexcept {
  std::fclose(FFile);
  FFile = nullptr;
  MoveFileReplacing(FPath, FPath + ".1");
  FFile = OpenFile(FPath, "wb");
  FSize = 0;
}

void TLog::Write(std::string_view message) noexcept {
  try {
    std::lock_guard guard(FLock);
    if (FListener) FListener(message);
    if (!FFile) return;
    std::string line = Stamp();
    line += " [";
    line += ThreadLabel();
    line += "] ";
    line += message;
    line += '\n';
    if (FMaxBytes > 0 && FSize + line.size() > FMaxBytes && FSize > 0) RotateLocked();
    if (!FFile) return;
    if (std::fwrite(line.data(), 1, line.size(), FFile) == line.size()) {
      FSize += line.size();
      std::fflush(FFile);
    }
  } catch (...) {
    // Trace lines are never worth a failure of the caller.
  }
}
