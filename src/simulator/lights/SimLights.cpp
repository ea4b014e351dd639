#include "simulator/lights/SimLights.h"

#include <mutex>

namespace SimLights {
namespace {

struct TShared {
  std::mutex Lock;
  std::uint64_t NextToken = 1;
  std::uint64_t Speaker = 0;  // 0: nobody
  TLevels Levels;
};

// Never destroyed: a board's thread may outlive static destruction.
TShared& Shared() {
  static TShared* shared = new TShared;
  return *shared;
}

}  // namespace

std::optional<TLevels> Current() {
  TShared& s = Shared();
  std::lock_guard guard(s.Lock);
  if (!s.Speaker) return std::nullopt;
  return s.Levels;
}

std::uint64_t Claim() {
  TShared& s = Shared();
  std::lock_guard guard(s.Lock);
  s.Speaker = s.NextToken++;
  s.Levels = {};
  return s.Speaker;
}

void Set(std::uint64_t token, TLevels levels) {
  if (!token) return;
  TShared& s = Shared();
  std::lock_guard guard(s.Lock);
  s.Speaker = token;
  s.Levels = levels;
}

void Release(std::uint64_t token) {
  TShared& s = Shared();
  std::lock_guard guard(s.Lock);
  if (token && s.Speaker == token) s.Speaker = 0;
}

}  // namespace SimLights
