#include "ui/WindowParts.h"

#include "core/DataHelpers.h"

#include "ui/Dialogs.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace WindowParts {

QPushButton* addButton(QBoxLayout* bar, const char* name, const QString& text)
{
    auto* button = named<QPushButton>(name);
    button->setText(text);
    button->setAutoDefault(false);
    button->setDefault(false);
    bar->addWidget(button);
    return button;
}

QLabel* caption(const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    return label;
}

void addLabelled(QGridLayout* grid, const QList<std::pair<QString, QWidget*>>& pairs, int pairsPerRow)
{
    for (int i = 0; i < pairs.size(); ++i) {
        const auto& [caption, control] = pairs.at(i);
        QLabel* label = WindowParts::caption(caption, control);
        const int row = i / pairsPerRow;
        const int column = (i % pairsPerRow) * 2;
        grid->addWidget(label, row, column, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(control, row, column + 1);
    }
    for (int c = 0; c < pairsPerRow; ++c)
        grid->setColumnStretch(c * 2 + 1, 1);
}

namespace {

void focusAndSelect(QWidget* box)
{
    box->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(box); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

} // namespace

void focusBox(QWidget* box)
{
    focusAndSelect(box);
    QTimer::singleShot(0, box, [guard = QPointer<QWidget>(box)] {
        if (guard && guard->isEnabled() && guard->isVisible())
            focusAndSelect(guard);
    });
}

void refuse(QWidget* box, const QString& message)
{
    // Focused first, so that closing the message box gives the focus back to it.
    box->setFocus();
    ui::warn(message, box->window());
    focusBox(box);
}

QString containingPattern(const QString& typed)
{
    return DataHelpers::containingPattern(typed);
}

} // namespace WindowParts
