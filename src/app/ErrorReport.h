// The one place errors escaping an event handler end up: they are traced and
// shown in a message box with their text, and the program goes on.
#pragma once

#include <QApplication>
#include <exception>
#include <string>

// Shows `error` (the current exception when called from a catch block).
void ReportError(std::exception_ptr error) noexcept;

// The application object: every event handler runs inside notify, which
// catches what escapes it.
class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};
