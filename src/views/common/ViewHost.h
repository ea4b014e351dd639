// Hosting views by class name, the one routine the main window, the tab menu
// and the mode sub-menu share:
//   1. find the target layout by name among the host's own controls;
//   2. if the layout already holds a view of the requested class, keep it
//      and make no second one;
//   3. otherwise create the new view (owned by the host) while the views
//      shown so far still exist;
//   4. remove every other child of the layout, from the last to the first;
//   5. place the view in the layout, filling it, and release the mouse
//      capture.
// Removed views are hidden and unnamed at once and destroyed when control
// returns to the event loop: the view may be the one whose button asked for
// the change, and its handler is still running.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "views/widgets/Control.h"

// The layout called `name` among `host`'s controls: hosted views are not
// searched, so a view's own layouts never shadow the host's. Raises
// EViewNotRegistered ("Component <name> not found") when there is none.
TControl* FindHostLayout(QWidget* host, const std::string& name);

// The child of `layout` named `name` (a view's name: its class name without
// the T), or nullptr.
QWidget* FindHostedView(QWidget* layout, const QString& name);

// The view the layout shows now, or nullptr.
QWidget* CurrentHostedView(QWidget* layout);

// Removes every child of `layout` except those named `exceptViewName`, from
// the last to the first (see above for when they are destroyed).
void RemoveContent(const QString& exceptViewName, QWidget* layout);

// Removes the layout's other children and places `content` in it, filling it.
void SetContent(QWidget* content, QWidget* layout);

// Steps 1 to 5. Returns the hosted view; raises EViewNotRegistered for a
// class name the registry does not hold (nothing removed then).
QWidget* HostView(QWidget* host, const std::string& className, const std::string& parentView);

// Releases the pointer capture, whoever holds it.
void ReleaseMouseCapture();
