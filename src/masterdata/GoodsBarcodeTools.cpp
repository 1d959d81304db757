#include "masterdata/GoodsBarcodeTools.h"

#include "core/CurrentRights.h"
#include "db/Dataset.h"
#include "reports/LabelLayout.h"
#include "reports/ReportLayouts.h"
#include "shop/Barcodes.h"
#include "ui/BusyCursor.h"
#include "ui/DbEdit.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/ModeWindow.h"
#include "ui/WindowParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

GoodsBarcodeTools::GoodsBarcodeTools(db::Dataset* goods, ui::DbEdit* barCodeBox, QWidget* window)
    : QGroupBox(QStringLiteral("条码与标签"), window), m_goods(goods), m_box(barCodeBox)
{
    setObjectName(QStringLiteral("BarcodeGroup"));
    auto* row = new QHBoxLayout(this);
    cmd_code = WindowParts::addButton(row, "cmd_code", QStringLiteral("生成条码"));
    cmd_code->setToolTip(QStringLiteral("给没有条形码的货品生成店内条码"));
    LabelCopies = WindowParts::named<QSpinBox>("LabelCopies", this);
    LabelCopies->setRange(1, 999);
    row->addWidget(WindowParts::caption(QStringLiteral("份数"), LabelCopies, this));
    row->addWidget(LabelCopies);
    cmd_label = WindowParts::addButton(row, "cmd_label", QStringLiteral("打印标签"));
    row->addStretch();
    connect(cmd_code, &QPushButton::clicked, this, &GoodsBarcodeTools::cmd_codeClick);
    connect(cmd_label, &QPushButton::clicked, this, &GoodsBarcodeTools::cmd_labelClick);
}

void GoodsBarcodeTools::setBrowsing(bool browsing)
{
    setEnabled(browsing);
    if (browsing) {
        ui::applyRight(cmd_code, Right::Edit, Function::Goods);
        ui::applyRight(cmd_label, Right::Print, Function::Goods);
    }
}

qint64 GoodsBarcodeTools::ownId() const
{
    const QVariant id = m_goods->value(QStringLiteral("in_id"));
    return id.isNull() ? -1 : id.toLongLong();
}

bool GoodsBarcodeTools::acceptCode(ui::DbEdit* codeBox)
{
    const QString code = codeBox->text().trimmed();
    const QString reason = Barcodes::codeRefusal(m_goods->connection(), code, ownId());
    if (reason.isEmpty())
        return true;
    WindowParts::refuse(codeBox, QStringLiteral("编码“%1”%2").arg(code, reason));
    return false;
}

bool GoodsBarcodeTools::acceptBarcode()
{
    const QString code = m_goods->text(QStringLiteral("bar_code")).trimmed();
    if (code.isEmpty())
        return true;
    const QString reason = Barcodes::barcodeRefusal(m_goods->connection(), code,
                                                    m_goods->text(QStringLiteral("gods_code")), ownId());
    if (!reason.isEmpty()) {
        WindowParts::refuse(m_box, QStringLiteral("条形码“%1”%2").arg(code, reason));
        return false;
    }
    // A slip of Enter must not store a code no scanner will read as typed.
    if (Barcodes::looksLikeEan(code) && !Barcodes::hasValidCheck(code)
        && !ui::dialogs().ask(window(),
                              QStringLiteral("条形码“%1”的校验位不对（应为%2），仍要保存吗?")
                                  .arg(code)
                                  .arg(Barcodes::checkDigit(code.chopped(1))),
                              QStringLiteral("提示"), true, ui::Dialogs::Default::Cancel)) {
        m_box->setFocus();
        return false;
    }
    return true;
}

void GoodsBarcodeTools::cmd_codeClick()
{
    int given = 0;
    try {
        const ui::BusyCursor busy;
        given = Barcodes::assignInternal(m_goods->connection(), window()->windowTitle());
        const QVariant at = m_goods->currentRow() >= 0 ? m_goods->value(QStringLiteral("gods_code")) : QVariant();
        m_goods->requery();
        if (at.isValid())
            m_goods->locate(QStringLiteral("gods_code"), at);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("生成条码失败：") + ui::errorText(e), window());
        return;
    }
    ui::inform(given == 0 ? QStringLiteral("所有货品都已有条形码") : QStringLiteral("已给%1种货品生成条形码").arg(given),
               window());
}

void GoodsBarcodeTools::cmd_labelClick()
{
    if (m_goods->currentRow() < 0)
        return;
    try {
        LabelLayout& labels = ReportLayouts::get<LabelLayout>();
        labels.forGoods(m_goods->text(QStringLiteral("gods_code")), LabelCopies->value());
        labels.preview(window());
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法打印标签：") + ui::errorText(e), window());
    }
}
