#include "views/common/ViewHost.h"

#include <QList>

#include "views/common/Frame.h"
#include "views/common/ViewRegistry.h"

TControl* FindHostLayout(QWidget* host, const std::string& name) {
  const QString wanted = QString::fromStdString(name);
  // Breadth first, so the host's own layouts come before anything deeper.
  QList<QObject*> level = host->children();
  while (!level.isEmpty()) {
    QList<QObject*> next;
    for (QObject* object : level) {
      if (auto* control = qobject_cast<TControl*>(object); control && control->objectName() == wanted) return control;
      if (qobject_cast<TFrame*>(object)) continue;  // another view's controls
      next.append(object->children());
    }
    level = next;
  }
  throw EViewNotRegistered("Component " + name + " not found");
}

QWidget* FindHostedView(QWidget* layout, const QString& name) {
  if (name.isEmpty()) return nullptr;
  for (QWidget* child : layout->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->objectName() == name) return child;
  return nullptr;
}

QWidget* CurrentHostedView(QWidget* layout) {
  for (QWidget* child : layout->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isHidden() && !child->objectName().isEmpty()) return child;
  return nullptr;
}

void RemoveContent(const QString& exceptViewName, QWidget* layout) {
  const QList<QWidget*> children = layout->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    QWidget* child = *it;
    if (!exceptViewName.isEmpty() && child->objectName() == exceptViewName) continue;
    child->hide();
    child->setObjectName(QString());
    child->deleteLater();
  }
}

void ReleaseMouseCapture() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

void SetContent(QWidget* content, QWidget* layout) {
  RemoveContent(content->objectName(), layout);
  if (content->parentWidget() != layout) content->setParent(layout);
  if (auto* control = qobject_cast<TControl*>(content)) control->SetAlign(TAlignLayout::Client);
  content->show();
  ReleaseMouseCapture();
}

QWidget* HostView(QWidget* host, const std::string& className, const std::string& parentView) {
  TControl* layout = FindHostLayout(host, parentView);
  QWidget* view = FindHostedView(layout, QString::fromStdString(TViewRegistry::ViewName(className)));
  if (!view) view = TViewRegistry::Create(className, host);
  SetContent(view, layout);
  return view;
}
