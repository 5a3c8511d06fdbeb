#pragma once
// A JSON picture of the windows as created at start-up, so the interface can be
// checked (by tests and by people) without clicking through it.
#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>

class QWidget;

namespace tarnix {
struct Windows;

// One node of a widget tree: class, name, text, hint, enabled, visible, the items
// of menus, radio groups, combo boxes and page controls, and the children.
QJsonObject dumpWidget(const QWidget* w);
// Every window in creation order: {class, name, caption, tree}.
QJsonArray dumpWindows(const Windows& windows);
QByteArray dumpUiJson(const Windows& windows);

} // namespace tarnix
