#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

// The command windows the main window can open, by class name ("TFrmGoods").
// A window not yet registered simply does not open.
namespace WindowCatalog {

using Factory = std::function<QDialog*(QWidget* parent)>;

void add(const QString& className, Factory factory);
// The window of an entry; it carries the entry's name in the property below.
QDialog* create(const QString& className, QWidget* parent);
inline constexpr char catalogNameProperty[] = "catalogName";
// The entry a window was created for; its class name when it came from elsewhere.
QString nameOf(const QWidget* window);
// The classes registered, in name order.
QStringList classNames();

// Registers every window the program has; called once at start-up.
void registerAll();

} // namespace WindowCatalog
