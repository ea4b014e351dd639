#include <windows.h>

#include "platform/SingleInstance.h"
#include "platform/WideText.h"

TSingleInstanceLock::TSingleInstanceLock(const std::string& name) {
  const HANDLE mutex = CreateMutexW(nullptr, TRUE, WideFromUtf8(name).c_str());
  // Read at once: the next system call may overwrite it.
  const DWORD error = GetLastError();
  if (mutex == nullptr) return;
  if (error == ERROR_ALREADY_EXISTS) {
    // Another holder: let go of our handle at once, so that the name dies
    // with that holder rather than living on in this process.
    CloseHandle(mutex);
    return;
  }
  FHandle = mutex;
  FAcquired = true;
}

TSingleInstanceLock::~TSingleInstanceLock() {
  // Held until now, never released: closing the last handle frees the name.
  if (FHandle) CloseHandle(static_cast<HANDLE>(FHandle));
}
