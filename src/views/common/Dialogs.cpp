#include "views/common/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

IDialogs* TDialogs::FInstance = nullptr;

IDialogs& Dialogs() {
  static TQtDialogs platform;
  return TDialogs::FInstance ? *TDialogs::FInstance : platform;
}

namespace {
QWidget* DialogParent() { return QApplication::activeWindow(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

std::optional<std::string> TQtDialogs::SelectDirectory(const std::string& caption) {
  const QString folder = QFileDialog::getExistingDirectory(DialogParent(), Q(caption), QString());
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

std::optional<std::string> TQtDialogs::OpenFile(const std::string& caption, const std::string& filter,
                                                const std::string& folder) {
  const QString file = QFileDialog::getOpenFileName(DialogParent(), Q(caption), Q(folder), Q(filter));
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

void TQtDialogs::ShowMessage(const std::string& text) {
  QMessageBox::information(DialogParent(), QApplication::applicationName(), Q(text));
}

void TQtDialogs::ShowError(const std::string& caption, const std::string& text) {
  QMessageBox::critical(DialogParent(), Q(caption), Q(text));
}

std::optional<std::string> TQtDialogs::InputQuery(const std::string& caption, const std::string& prompt, bool masked) {
  bool ok = false;
  const QString text = QInputDialog::getText(DialogParent(), Q(caption), Q(prompt), masked ? QLineEdit::Password : QLineEdit::Normal,
                                             QString(), &ok);
  if (!ok) return std::nullopt;
  return text.toStdString();
}
