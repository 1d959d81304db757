#include "bills/BillLabels.h"

#include "reports/ReportLayouts.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"

#include <QMenu>

BillLabels::BillLabels(QWidget* window)
    : QToolButton(window)
{
    setObjectName(QStringLiteral("cmd_label"));
    setText(QStringLiteral("打印标签[&L]"));
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("LabelMenu"));
    QAction* perPiece = menu->addAction(QStringLiteral("每件一张"));
    perPiece->setObjectName(QStringLiteral("LabelPerPiece"));
    QAction* perLine = menu->addAction(QStringLiteral("每行一张"));
    perLine->setObjectName(QStringLiteral("LabelPerLine"));
    connect(perPiece, &QAction::triggered, this, [this] { emit asked(true); });
    connect(perLine, &QAction::triggered, this, [this] { emit asked(false); });
    // Alt+L, or Enter with the focus on the button: the menu opens with its first
    // choice highlighted, so the next Enter takes it.
    connect(this, &QToolButton::clicked, this, [this, menu, perPiece] {
        menu->setActiveAction(perPiece);
        menu->exec(mapToGlobal(QPoint(0, height())), perPiece);
    });
}

void BillLabels::print(const QString& billNo, bool perPiece)
{
    if (billNo.isEmpty())
        return;
    try {
        LabelLayout& labels = ReportLayouts::get<LabelLayout>();
        labels.forPurchase(billNo, perPiece);
        labels.preview(window());
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法打印标签：") + ui::errorText(e), window());
    }
}
