// Process-wide trace sink.
//
// Every component sends free-text trace messages here. Lines carry the local
// time to the millisecond and the writing thread's name. The file is bounded:
// when it grows past the limit it is renamed to "<name>.1" (replacing the older
// one) and a new file is started. Writing never throws: a full disk or a file
// that cannot be opened only loses trace lines.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

class TLog {
 public:
  using TListener = std::function<void(std::string_view)>;

  static TLog& Instance();

  // Starts writing to `path` (appending). Without Open, messages only reach
  // the listener, if any.
  void Open(const std::string& path, std::size_t maxBytes = 4u * 1024u * 1024u) noexcept;
  void Close() noexcept;
  std::string FileName() const;

  void Write(std::string_view message) noexcept;

  // Tests watch the trace through a listener; it is called under the sink's
  // lock, so it must not write to the log itself.
  void SetListener(TListener listener);

  // Names the calling thread in every line it writes ("ui", "camera", ...).
  static void SetThreadName(std::string name);

 private:
  TLog() = default;
  void RotateLocked() noexcept;

  mutable std::mutex FLock;
  std::string FPath;
  std::size_t FMaxBytes = 0;
  std::size_t FSize = 0;
  std::FILE* FFile = nullptr;
  TListener FListener;
};

// The one call components use.
inline void Trace(std::string_view message) noexcept { TLog::Instance().Write(message); }
