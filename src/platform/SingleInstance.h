// The system-wide lock that lets one instance run at a time.
//
// On Windows it is the named mutex, requested with initial ownership: a name
// that already exists (error 183) means another instance holds it. Elsewhere
// it is an abstract local socket bound under the name. Either way the system
// frees it when the process ends however it ends, so a crashed instance never
// blocks the next start.
#pragma once

#include <string>

class TSingleInstanceLock {
 public:
  // `name` is UTF-8.
  explicit TSingleInstanceLock(const std::string& name);
  ~TSingleInstanceLock();
  TSingleInstanceLock(const TSingleInstanceLock&) = delete;
  TSingleInstanceLock& operator=(const TSingleInstanceLock&) = delete;

  // False when another process (or another lock in this one) holds the name,
  // or the lock could not be made at all.
  bool Acquired() const { return FAcquired; }

 private:
  bool FAcquired = false;
  void* FHandle = nullptr;  // Windows: the mutex
  int FSocket = -1;         // elsewhere: the bound socket
};
