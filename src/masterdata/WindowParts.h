#pragma once

#include <QList>
#include <QString>
#include <utility>

class QBoxLayout;
class QGridLayout;
class QPushButton;
class QWidget;

// Small pieces the master-data windows build their layouts from.
namespace WindowParts {

// Creates a widget with its object name.
template <typename Widget>
Widget* named(const char* name, QWidget* parent = nullptr)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A command button on a tool bar row. Enter must never press it: Enter moves to the next box.
QPushButton* addButton(QBoxLayout* bar, const char* name, const QString& text);

// Label and control pairs, `pairsPerRow` to a row, in the given order.
void addLabelled(QGridLayout* grid, const QList<std::pair<QString, QWidget*>>& pairs, int pairsPerRow);

} // namespace WindowParts
