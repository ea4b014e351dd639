// Gives an SDK reference back when a scope ends, however it ends.
#pragma once

#include "camera/EDSDK.h"

// Watches a reference variable that may still be empty when the guard is made
// (the SDK fills it later through its address) and releases what it holds at
// the end of the scope. Guards end in the reverse order of their making.
class TReleaseAtExit {
 public:
  explicit TReleaseAtExit(EdsBaseRef& ref) : FRef(ref) {}
  ~TReleaseAtExit() {
    if (FRef) EdsRelease(FRef);
    FRef = nullptr;
  }
  TReleaseAtExit(const TReleaseAtExit&) = delete;
  TReleaseAtExit& operator=(const TReleaseAtExit&) = delete;

 private:
  EdsBaseRef& FRef;
};
