#include "views/widgets/ErrorHook.h"

#include <string>

#include "logging/Log.h"

namespace {
TErrorHandler& Handler() {
  static TErrorHandler handler;
  return handler;
}
}  // namespace

void SetErrorHandler(TErrorHandler handler) { Handler() = std::move(handler); }

void HandleError(std::exception_ptr error) noexcept {
  try {
    if (Handler()) {
      Handler()(error);
      return;
    }
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    Trace(std::string("Unhandled error : ") + e.what());
  } catch (...) {
    Trace("Unhandled error");
  }
}
