#include "views/common/ViewRegistry.h"

std::map<std::string, TViewRegistry::TFactory>& TViewRegistry::Table() {
  static std::map<std::string, TFactory> table;
  return table;
}

QWidget* TViewRegistry::Create(const std::string& className, QWidget* owner) {
  auto it = Table().find(className);
  if (it == Table().end()) throw EViewNotRegistered("Class " + className + " not found");
  return it->second(owner);
}

std::string TViewRegistry::ViewName(const std::string& className) {
  if (!className.empty() && className.front() == 'T') return className.substr(1);
  return className;
}
