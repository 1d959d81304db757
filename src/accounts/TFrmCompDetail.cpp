#include "accounts/TFrmCompDetail.h"

#include "accounts/AccountsParts.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportSheet.h"
#include "reports/TQcompdetail.h"
#include "shop/Receivables.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowParts.h"
#include "ui/WindowPlacement.h"
#include "ui/QuietControls.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLocale>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using WindowParts::named;

namespace {

db::Dataset* detailLines()
{
    return TFrmDataMod::instance()->dataset(QStringLiteral("CompDetailQ"));
}

} // namespace

TFrmCompDetail::TFrmCompDetail(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmCompDetail"));
    setWindowTitle(QStringLiteral("客户往来明细"));
    resize(792, 573);

    auto* bar = new QHBoxLayout;
    cmd_find = WindowParts::addCommand(bar, "cmd_find", WindowParts::Command::Find);
    cmd_prin = WindowParts::addCommand(bar, "cmd_prin", WindowParts::Command::Print);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();

    companyCodeBox = named<QComboBox>("ComboBox1");
    companyNameBox = named<QComboBox>("ComboBox2");
    for (QComboBox* box : {companyCodeBox, companyNameBox}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumWidth(120);
    }
    receivableRadio = named<QRadioButton>("RadioButton1");
    receivableRadio->setText(QStringLiteral("应收"));
    receivableRadio->setChecked(true);
    payableRadio = named<QRadioButton>("RadioButton2");
    payableRadio->setText(QStringLiteral("应付"));
    const QDate today = Clock::today();
    fromDateEdit = AccountsParts::makeDatePicker("DP1", QDate(today.year(), today.month(), 1), this);
    toDateEdit = AccountsParts::makeDatePicker("DP2", today, this);
    broughtForwardEdit = named<QLineEdit>("Edit1");
    closingBalanceEdit = named<QLineEdit>("Edit2");
    for (QLineEdit* box : {broughtForwardEdit, closingBalanceEdit})
        box->setReadOnly(true);
    auto* choices = new QGridLayout;
    WindowParts::addLabelled(choices,
                             {{QStringLiteral("编码"), companyCodeBox},
                              {QStringLiteral("名称"), companyNameBox},
                              {QStringLiteral("日期"), fromDateEdit},
                              {QStringLiteral("至"), toDateEdit}},
                             4);
    auto* sides = new QHBoxLayout;
    sides->addWidget(receivableRadio);
    sides->addWidget(payableRadio);
    sides->addStretch();
    auto* totals = new QGridLayout;
    WindowParts::addLabelled(totals, {{QStringLiteral("上期结余"), broughtForwardEdit}, {QStringLiteral("期末余额"), closingBalanceEdit}}, 2);

    movementGrid = named<ui::DbGrid>("Grid1", this);
    movementGrid->setReadOnly(true);
    movementGrid->setRowSelect(true);
    movementGrid->addColumn(QStringLiteral("line_date"), QStringLiteral("日期"), 100);
    movementGrid->addColumn(QStringLiteral("kind"), QStringLiteral("类别"), 80);
    movementGrid->addColumn(QStringLiteral("number"), QStringLiteral("单号"), 150);
    movementGrid->addColumn(QStringLiteral("increase"), QStringLiteral("增加"), 90);
    movementGrid->addColumn(QStringLiteral("decrease"), QStringLiteral("减少"), 90);
    movementGrid->addColumn(QStringLiteral("credit"), QStringLiteral("转入结余"), 90);
    movementGrid->addColumn(QStringLiteral("balance"), QStringLiteral("余额"), 100);
    // Another company's or period's lines are not shown as this one's.
    detailLines()->close();
    movementGrid->setDataset(detailLines());
    // An export carries the company, the period and the balances, as the print-out does.
    movementGrid->setExportFrame([this] { return ReportSheet(fillReport()).frame(); });
    ui::placeGridWindow(this, movementGrid);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(choices);
    layout->addLayout(sides);
    layout->addLayout(totals);
    layout->addWidget(movementGrid, 1);

    connect(cmd_find, &QPushButton::clicked, this, &TFrmCompDetail::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &TFrmCompDetail::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &TFrmCompDetail::cmd_exitClick);
    connect(companyCodeBox, &QComboBox::editTextChanged, this, [this] { AccountsParts::showNameOfCode(companyCodeBox, companyNameBox); });
    connect(companyNameBox, &QComboBox::editTextChanged, this, [this] { AccountsParts::showCodeOfName(companyCodeBox, companyNameBox); });
    DataHelpers::adjustComboBoxes(this);
    try {
        AccountsParts::fillCompanyLists(companyCodeBox, companyNameBox);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("公司列表无法读取：%1").arg(ui::errorText(e)), this);
    }
    cmd_find->setEnabled(hasRight(Right::Find, Function::SalesStatement));
    cmd_prin->setEnabled(hasRight(Right::Print, Function::SalesStatement));
}

TFrmCompDetail::~TFrmCompDetail()
{
    // The lines drawn up go with the window.
    if (TFrmDataMod::instance())
        detailLines()->close();
}

void TFrmCompDetail::cmd_findClick()
{
    // A refused query leaves no earlier company's lines under its message.
    db::Dataset* list = detailLines();
    list->close();
    m_drawnUp = false;
    broughtForwardEdit->clear();
    closingBalanceEdit->clear();
    const QString code = companyCodeBox->currentText().trimmed();
    if (code.isEmpty()) {
        ui::inform(QStringLiteral("请选择客户"), this);
        companyCodeBox->setFocus();
        return;
    }
    if (fromDateEdit->date() > toDateEdit->date()) {
        ui::inform(QStringLiteral("起始日期晚于截止日期，请重新选择日期"), this);
        fromDateEdit->setFocus();
        return;
    }
    // A code that names no company is refused, not shown as an empty statement.
    if (DataHelpers::lookup(QStringLiteral("company"), QStringLiteral("comp_code"), code, QStringLiteral("comp_code"))
            .isEmpty()) {
        ui::inform(QStringLiteral("客户编码“%1”不存在").arg(code), this);
        companyCodeBox->setFocus();
        return;
    }
    Receivables::CompanyStatement statement;
    try {
        const ui::BusyCursor busy;
        statement = Receivables::statement(dataModule().AdoConn,
                                           receivableRadio->isChecked() ? Receivables::Side::Receivable
                                                                     : Receivables::Side::Payable,
                                           code, fromDateEdit->date(), toDateEdit->date());
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("往来明细无法查询：%1").arg(ui::errorText(e)), this);
        return;
    }
    // The lines are held in memory only: the batch is never written.
    list->open();
    {
        const ui::QuietControls quiet(*list);
        for (const Receivables::StatementLine& line : std::as_const(statement.lines)) {
            list->append();
            list->setValue(QStringLiteral("line_date"), line.date);
            list->setValue(QStringLiteral("kind"), line.kind);
            list->setValue(QStringLiteral("number"), line.number);
            const auto amount = [](double value) { return value == 0 ? QVariant() : QVariant(value); };
            list->setValue(QStringLiteral("increase"), amount(line.increase));
            list->setValue(QStringLiteral("decrease"), amount(line.decrease));
            list->setValue(QStringLiteral("credit"), amount(line.credit));
            list->setValue(QStringLiteral("balance"), line.balance);
            list->post();
        }
    }
    if (!list->isEmpty())
        list->first();
    m_drawnUp = true;
    broughtForwardEdit->setText(DataHelpers::amountText(statement.broughtForward));
    closingBalanceEdit->setText(DataHelpers::amountText(statement.closing));
}

TQcompdetail& TFrmCompDetail::fillReport()
{
    TQcompdetail& layout = ReportLayouts::get<TQcompdetail>();
    const QLocale locale;
    layout.setLabelText(QStringLiteral("title"),
                        windowTitle() + (receivableRadio->isChecked() ? QStringLiteral("（应收）") : QStringLiteral("（应付）")));
    layout.setLabelText(QStringLiteral("khbm"), companyCodeBox->currentText());
    layout.setLabelText(QStringLiteral("khmc"), companyNameBox->currentText());
    layout.setLabelText(QStringLiteral("rqfw"), locale.toString(fromDateEdit->date(), QLocale::ShortFormat) + QStringLiteral(" - ")
                                                    + locale.toString(toDateEdit->date(), QLocale::ShortFormat));
    layout.setLabelText(QStringLiteral("sqjy"), broughtForwardEdit->text());
    layout.setLabelText(QStringLiteral("qmye"), closingBalanceEdit->text());
    return layout;
}

void TFrmCompDetail::cmd_prinClick()
{
    if (!m_drawnUp)
        return;
    try {
        AccountsParts::previewList(fillReport(), detailLines(), this);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法打印：%1").arg(ui::errorText(e)), this);
    }
}

void TFrmCompDetail::cmd_exitClick()
{
    close();
}
