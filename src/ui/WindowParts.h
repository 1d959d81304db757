#pragma once

#include <QList>
#include <QString>
#include <utility>

class QBoxLayout;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

// Small pieces the windows build their layouts from.
namespace WindowParts {

// Creates a widget with its object name.
template <typename Widget>
Widget* named(const char* name, QWidget* parent = nullptr)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A command button on a tool bar row. It is no dialog's default: Enter in a box moves to the next one.
QPushButton* addButton(QBoxLayout* bar, const char* name, const QString& text);

// The commands of the windows' button bars: each has one caption, with its key, in every window.
enum class Command { Add, Edit, Delete, Find, Print, Save, Cancel, Exit };
QString commandCaption(Command command);
QPushButton* addCommand(QBoxLayout* bar, const char* name, Command command);

// A caption label that is its control's buddy, so assistive tools name the control by it.
QLabel* caption(const QString& text, QWidget* control, QWidget* parent = nullptr);

// Label and control pairs, `pairsPerRow` to a row, in the given order.
void addLabelled(QGridLayout* grid, const QList<std::pair<QString, QWidget*>>& pairs, int pairsPerRow);

// Puts the focus into the box, its text selected, now and once more after the
// current event: the Tab that follows an Enter must not carry it on.
void focusBox(QWidget* box);

// A LIKE pattern (escape '\') for text containing `typed`, in lower case to match lower(column).
QString containingPattern(const QString& typed);

// Tells why the value in `box` was refused; the focus goes back to that box.
void refuse(QWidget* box, const QString& message);

} // namespace WindowParts
