#include "views/common/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>

IDialogs* TDialogs::FInstance = nullptr;

IDialogs& Dialogs() {
  static TQtDialogs platform;
  return TDialogs::FInstance ? *TDialogs::FInstance : platform;
}

namespace {
QWidget* DialogParent() { return QApplication::activeWindow(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

namespace {
QString PicturesFolder() {
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  return pictures.isEmpty() ? QDir::homePath() : pictures;
}
}  // namespace

std::string FolderDialogStart(const std::string& saveLocation) {
  return saveLocation.empty() ? PicturesFolder().toStdString() : saveLocation;
}

std::optional<std::string> TQtDialogs::SelectDirectory(const std::string& caption, const std::string& start) {
  // A new user may have no Pictures folder yet; a folder chosen before that
  // has gone (an unplugged drive) is not made again.
  if (Q(start) == PicturesFolder()) QDir().mkpath(Q(start));
  // ShowDirsOnly without ReadOnly: the chooser offers to make a new folder.
  const QString folder =
      QFileDialog::getExistingDirectory(DialogParent(), Q(caption), Q(start), QFileDialog::ShowDirsOnly);
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
