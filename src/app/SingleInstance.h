// The system-wide lock that lets one instance run at a time.
//
// The lock is an abstract local socket bound under the given name: the system
// frees it when the process ends however it ends, so a crashed instance never
// blocks the next start.
#pragma once

#include <string>

class TSingleInstanceLock {
 public:
  explicit TSingleInstanceLock(const std::string& name);
  ~TSingleInstanceLock();
  TSingleInstanceLock(const TSingleInstanceLock&) = delete;
  TSingleInstanceLock& operator=(const TSingleInstanceLock&) = delete;

  // False when another process (or another lock in this one) holds the name,
  // or the lock could not be made at all.
  bool Acquired() const { return FAcquired; }

 private:
  bool FAcquired = false;
#ifdef _WIN32
  void* FHandle = nullptr;
#else
  int FSocket = -1;
#endif
};
