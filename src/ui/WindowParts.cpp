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

QString commandCaption(Command command)
{
    switch (command) {
    case Command::Add: return QStringLiteral("新增[&A]");
    case Command::Edit: return QStringLiteral("修改[&E]");
    case Command::Delete: return QStringLiteral("删除[&D]");
    case Command::Find: return QStringLiteral("查询[&F]");
    case Command::Print: return QStringLiteral("打印[&P]");
    case Command::Save: return QStringLiteral("保存[&S]");
    case Command::Cancel: return QStringLiteral("取消[&C]");
    case Command::Exit: return QStringLiteral("退出[&X]");
    }
    return {};
}

QPushButton* addCommand(QBoxLayout* bar, const char* name, Command command)
{
    return addButton(bar, name, commandCaption(command));
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
