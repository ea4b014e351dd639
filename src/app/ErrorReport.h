// The one place errors escaping an event handler end up: they are traced and
// shown in a message box with their text, and the program goes on.
#pragma once

#include <QApplication>
#include <exception>
#include <string>

// Shows `error` (the current exception when called from a catch block).
void ReportError(std::exception_ptr error) noexcept;

// The application object. It installs ReportError as the handler our
// controls, timers and the dispatcher hand their errors to (caught at the
// handler's edge), and notify catches whatever still escapes an event
// handler elsewhere.
class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;
  bool notify(QObject* receiver, QEvent* event) override;
};
