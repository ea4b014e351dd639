// The table of view classes, addressed by class name ("TFrameSplash"). Hosts
// (the main window, the tab menu, the mode sub-menu) create views from it.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>

class TViewRegistry {
 public:
  using TFactory = std::function<QWidget*(QWidget* owner)>;

  template <class T>
  static void Register(const std::string& className) {
    Table()[className] = [](QWidget* owner) -> QWidget* { return new T(owner); };
  }
  static void Register(const std::string& className, TFactory factory) { Table()[className] = std::move(factory); }
  static bool IsRegistered(const std::string& className) { return Table().count(className) != 0; }
  // A new instance of the named class, made with `owner` as its parent.
  // Raises EViewNotRegistered for a name the table does not hold.
  static QWidget* Create(const std::string& className, QWidget* owner);
  static void Clear() { Table().clear(); }

  // A view's name: its class name without the leading T ("FrameSplash").
  static std::string ViewName(const std::string& className);

 private:
  static std::map<std::string, TFactory>& Table();
};

class EViewNotRegistered : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
