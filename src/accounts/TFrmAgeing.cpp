#include "accounts/TFrmAgeing.h"

#include "accounts/AccountsParts.h"
#include "accounts/TFrmGath.h"
#include "accounts/TFrmPay.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportSheet.h"
#include "reports/TQageing.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/EnterWalk.h"
#include "ui/FieldValue.h"
#include "ui/WindowParts.h"
#include "ui/WindowPlacement.h"
#include "ui/QuietControls.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

using WindowParts::named;

namespace {

db::Dataset* ageingList()
{
    return TFrmDataMod::instance()->dataset(QStringLiteral("AgeingQ"));
}

bool receivable(Receivables::Side side)
{
    return side == Receivables::Side::Receivable;
}

} // namespace

TFrmAgeing::TFrmAgeing(Receivables::Side side, QWidget* parent)
    : QDialog(parent), m_side(side),
      m_position(receivable(side) ? Function::SalesStatement : Function::PurchaseStatement)
{
    setObjectName(receivable(side) ? QStringLiteral("FrmGathAge") : QStringLiteral("FrmPayAge"));
    setWindowTitle(receivable(side) ? QStringLiteral("应收账龄") : QStringLiteral("应付账龄"));
    resize(792, 573);

    auto* bar = new QHBoxLayout;
    cmd_find = WindowParts::addCommand(bar, "cmd_find", WindowParts::Command::Find);
    cmd_prin = WindowParts::addCommand(bar, "cmd_prin", WindowParts::Command::Print);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();

    asOfDateEdit = AccountsParts::makeDatePicker("DP1", Clock::today(), this);
    owingTotalEdit = named<QLineEdit>("Edit1");
    balanceTotalEdit = named<QLineEdit>("Edit2");
    for (QLineEdit* box : {owingTotalEdit, balanceTotalEdit})
        box->setReadOnly(true);
    auto* boxes = new QGridLayout;
    WindowParts::addLabelled(boxes,
                             {{QStringLiteral("账龄日期"), asOfDateEdit},
                              {receivable(side) ? QStringLiteral("欠收合计") : QStringLiteral("欠付合计"), owingTotalEdit},
                              {QStringLiteral("余额合计"), balanceTotalEdit}},
                             3);

    db::Dataset* list = ageingList();
    ageingGrid = named<ui::DbGrid>("DBGrid1", this);
    ui::placeGridWindow(this, ageingGrid);
    ageingGrid->setReadOnly(true);
    ageingGrid->setRowSelect(true);
    ageingGrid->addColumn(QStringLiteral("comp_code"), QStringLiteral("公司编码"), 80);
    ageingGrid->addColumn(QStringLiteral("comp_name"), QStringLiteral("公司名称"), 180);
    ageingGrid->addColumn(QStringLiteral("age_30"), QStringLiteral("0-30天"), 80);
    ageingGrid->addColumn(QStringLiteral("age_60"), QStringLiteral("31-60天"), 80);
    ageingGrid->addColumn(QStringLiteral("age_90"), QStringLiteral("61-90天"), 80);
    ageingGrid->addColumn(QStringLiteral("age_over"), QStringLiteral("90天以上"), 80);
    ageingGrid->addColumn(QStringLiteral("open_tota"), QStringLiteral("合计"), 90);
    ageingGrid->addColumn(QStringLiteral("rest_tota"), QStringLiteral("余额"), 80);
    // The list of another side or date is not shown as this one's.
    list->close();
    ageingGrid->setDataset(list);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(boxes);
    layout->addWidget(ageingGrid, 1);

    connect(cmd_find, &QPushButton::clicked, this, &TFrmAgeing::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &TFrmAgeing::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &TFrmAgeing::cmd_exitClick);
    connect(ageingGrid, &QAbstractItemView::activated, this, &TFrmAgeing::openSettlement);
    ui::setWalksEnter(ageingGrid);   // Enter opens the row's settlement; it does not move on
    // An export carries the title, the date and the totals, as the print-out does.
    ageingGrid->setExportFrame([this] { return ReportSheet(fillReport()).frame(); });
    cmd_find->setEnabled(hasRight(Right::Find, m_position));
    cmd_prin->setEnabled(hasRight(Right::Print, m_position));
    if (cmd_find->isEnabled())
        cmd_findClick();
}

void TFrmAgeing::cmd_findClick()
{
    db::Dataset* list = ageingList();
    Receivables::AgeingRow sum;
    try {
        const ui::BusyCursor busy;
        {
            const ui::QuietControls quiet(*list);
            Receivables::prepareAgeing(*list, m_side, asOfDateEdit->date());
            list->open();
        }
        for (int row = 0; row < list->recordCount(); ++row) {
            sum.total += list->value(row, list->fieldIndex(QStringLiteral("open_tota"))).toDouble();
            sum.credit += list->value(row, list->fieldIndex(QStringLiteral("rest_tota"))).toDouble();
        }
        m_drawnUp = true;
    } catch (const std::exception& e) {
        m_drawnUp = false;
        ui::showError(QStringLiteral("账龄无法查询：%1").arg(ui::errorText(e)), this);
    }
    owingTotalEdit->setText(DataHelpers::amountText(sum.total));
    balanceTotalEdit->setText(DataHelpers::amountText(sum.credit));
    if (list->isOpen() && !list->isEmpty())
        list->first();
}

TQageing& TFrmAgeing::fillReport()
{
    TQageing& layout = ReportLayouts::get<TQageing>();
    layout.setLabelText(QStringLiteral("title"), windowTitle());
    layout.setLabelText(QStringLiteral("asof"), QLocale().toString(asOfDateEdit->date(), QLocale::ShortFormat));
    layout.setLabelText(QStringLiteral("hjje"), owingTotalEdit->text());
    layout.setLabelText(QStringLiteral("hjye"), balanceTotalEdit->text());
    return layout;
}

void TFrmAgeing::cmd_prinClick()
{
    if (!m_drawnUp)
        return;
    try {
        AccountsParts::previewList(fillReport(), ageingList(), this);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法打印：%1").arg(ui::errorText(e)), this);
    }
}

void TFrmAgeing::cmd_exitClick()
{
    close();
}

void TFrmAgeing::openSettlement()
{
    db::Dataset* list = ageingList();
    if (!list->isOpen() || list->isEmpty())
        return;
    if (!hasRight(Right::Use, receivable(m_side) ? Function::Receipts : Function::Payments)) {
        ui::warn(QStringLiteral("您没有使用%1的权限").arg(receivable(m_side) ? QStringLiteral("收款单") : QStringLiteral("付款单")),
                 this);
        return;
    }
    const QString code = list->text(QStringLiteral("comp_code"));
    std::unique_ptr<SettlementWindow> window;
    if (receivable(m_side))
        window = std::make_unique<TFrmGath>(this);
    else
        window = std::make_unique<TFrmPay>(this);
    // Every bill up to the ageing date: the settlement shows what the ageing counts.
    window->companyCodeBox->setEditText(code);
    window->fromDateEdit->setDate(asOfDateEdit->date().addYears(-20));
    window->toDateEdit->setDate(asOfDateEdit->date());
    if (window->cmd_add->isEnabled())
        window->cmd_addClick();
    ui::dialogs().exec(window.get());
    // What the window received changes the ageing; the company stays in view.
    cmd_findClick();
    if (list->isOpen())
        list->locate(QStringLiteral("comp_code"), code);
}
