#include "ui/PickerNote.h"

#include <QApplication>
#include <QLabel>

namespace ui {

void sayNothingToChoose(QLabel* note, const QString& what, const QString& typed)
{
    note->setText(typed.isEmpty() ? QStringLiteral("没有可选的%1，按Esc返回").arg(what)
                                  : QStringLiteral("没有编码或名称含“%1”的%2，按Esc返回修改").arg(typed, what));
    note->setStyleSheet(QStringLiteral("QLabel{color:#c62828;font-weight:bold}"));
    note->show();
    QApplication::beep();
}

} // namespace ui
