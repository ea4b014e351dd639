#include "app/ErrorReport.h"

#include "board/ComPort.h"

#include "logging/Log.h"
#include "views/common/Dialogs.h"
#include "views/widgets/ErrorHook.h"

namespace {
std::string Describe(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const EComPort& e) {
    return e.Hint().empty() ? std::string(e.what()) : std::string(e.what()) + "\n\n" + e.Hint();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
  }
  return "Unknown error";
}
}  // namespace

void ReportError(std::exception_ptr error) noexcept {
  try {
    const std::string text = Describe(error);
    Trace("Error : " + text);
    Dialogs().ShowError("Sulo", text);
  } catch (...) {
    // Showing the error failed too; it is in the trace when it could be written.
  }
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Sulo");
  SetErrorHandler([](std::exception_ptr error) { ReportError(error); });
}

TApplication::~TApplication() { SetErrorHandler(nullptr); }

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportError(std::current_exception());
    return false;
  }
}
