// Where errors escaping an event handler go.
//
// Handlers of our controls and timers run guarded: an exception is caught at
// the handler's edge, before it could unwind through the toolkit's event
// delivery, and handed to the error handler the program installs (it shows a
// message box and the program goes on). Without a handler the error is traced.
#pragma once

#include <exception>
#include <functional>

using TErrorHandler = std::function<void(std::exception_ptr)>;

void SetErrorHandler(TErrorHandler handler);
void HandleError(std::exception_ptr error) noexcept;

// Runs `work`; an exception it raises goes to HandleError. False when it did.
template <class F>
bool Guarded(F&& work) noexcept {
  try {
    work();
    return true;
  } catch (...) {
    HandleError(std::current_exception());
    return false;
  }
}
