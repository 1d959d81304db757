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
    cmd_find = WindowParts::addButton(bar, "cmd_find", QStringLiteral("查询[&F]"));
    cmd_prin = WindowParts::addButton(bar, "cmd_prin", QStringLiteral("打印[&P]"));
    cmd_exit = WindowParts::addButton(bar, "cmd_exit", QStringLiteral("退出[&X]"));
    bar->addStretch();

    ComboBox1 = named<QComboBox>("ComboBox1");
    ComboBox2 = named<QComboBox>("ComboBox2");
    for (QComboBox* box : {ComboBox1, ComboBox2}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumWidth(120);
    }
    RadioButton1 = named<QRadioButton>("RadioButton1");
    RadioButton1->setText(QStringLiteral("应收"));
    RadioButton1->setChecked(true);
    RadioButton2 = named<QRadioButton>("RadioButton2");
    RadioButton2->setText(QStringLiteral("应付"));
    const QDate today = Clock::today();
    DP1 = AccountsParts::makeDatePicker("DP1", QDate(today.year(), today.month(), 1), this);
    DP2 = AccountsParts::makeDatePicker("DP2", today, this);
    Edit1 = named<QLineEdit>("Edit1");
    Edit2 = named<QLineEdit>("Edit2");
    for (QLineEdit* box : {Edit1, Edit2})
        box->setReadOnly(true);
    auto* choices = new QGridLayout;
    WindowParts::addLabelled(choices,
                             {{QStringLiteral("编码"), ComboBox1},
                              {QStringLiteral("名称"), ComboBox2},
                              {QStringLiteral("日期"), DP1},
                              {QStringLiteral("至"), DP2}},
                             4);
    auto* sides = new QHBoxLayout;
    sides->addWidget(RadioButton1);
    sides->addWidget(RadioButton2);
    sides->addStretch();
    auto* totals = new QGridLayout;
    WindowParts::addLabelled(totals, {{QStringLiteral("上期结余"), Edit1}, {QStringLiteral("期末余额"), Edit2}}, 2);

    Grid1 = named<ui::DbGrid>("Grid1", this);
    Grid1->setReadOnly(true);
    Grid1->setRowSelect(true);
    Grid1->addColumn(QStringLiteral("line_date"), QStringLiteral("日期"), 100);
    Grid1->addColumn(QStringLiteral("kind"), QStringLiteral("类别"), 80);
    Grid1->addColumn(QStringLiteral("number"), QStringLiteral("单号"), 150);
    Grid1->addColumn(QStringLiteral("increase"), QStringLiteral("增加"), 90);
    Grid1->addColumn(QStringLiteral("decrease"), QStringLiteral("减少"), 90);
    Grid1->addColumn(QStringLiteral("credit"), QStringLiteral("转入结余"), 90);
    Grid1->addColumn(QStringLiteral("balance"), QStringLiteral("余额"), 100);
    // Another company's or period's lines are not shown as this one's.
    detailLines()->close();
    Grid1->setDataset(detailLines());
    // An export carries the company, the period and the balances, as the print-out does.
    Grid1->setExportFrame([this] { return ReportSheet(fillReport()).frame(); });
    ui::placeGridWindow(this, Grid1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(choices);
    layout->addLayout(sides);
    layout->addLayout(totals);
    layout->addWidget(Grid1, 1);

    connect(cmd_find, &QPushButton::clicked, this, &TFrmCompDetail::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &TFrmCompDetail::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &TFrmCompDetail::cmd_exitClick);
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this] { AccountsParts::showNameOfCode(ComboBox1, ComboBox2); });
    connect(ComboBox2, &QComboBox::editTextChanged, this, [this] { AccountsParts::showCodeOfName(ComboBox1, ComboBox2); });
    DataHelpers::adjustComboBoxes(this);
    try {
        AccountsParts::fillCompanyLists(ComboBox1, ComboBox2);
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
    Edit1->clear();
    Edit2->clear();
    const QString code = ComboBox1->currentText().trimmed();
    if (code.isEmpty()) {
        ui::inform(QStringLiteral("请选择客户"), this);
        ComboBox1->setFocus();
        return;
    }
    if (DP1->date() > DP2->date()) {
        ui::inform(QStringLiteral("起始日期晚于截止日期，请重新选择日期"), this);
        DP1->setFocus();
        return;
    }
    // A code that names no company is refused, not shown as an empty statement.
    if (DataHelpers::lookup(QStringLiteral("company"), QStringLiteral("comp_code"), code, QStringLiteral("comp_code"))
            .isEmpty()) {
        ui::inform(QStringLiteral("客户编码“%1”不存在").arg(code), this);
        ComboBox1->setFocus();
        return;
    }
    Receivables::CompanyStatement statement;
    try {
        const ui::BusyCursor busy;
        statement = Receivables::statement(dataModule().AdoConn,
                                           RadioButton1->isChecked() ? Receivables::Side::Receivable
                                                                     : Receivables::Side::Payable,
                                           code, DP1->date(), DP2->date());
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("往来明细无法查询：%1").arg(ui::errorText(e)), this);
        return;
    }
    // The lines are held in memory only: the batch is never written.
    list->open();
    list->disableControls();
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
    list->enableControls();
    if (!list->isEmpty())
        list->first();
    m_drawnUp = true;
    Edit1->setText(DataHelpers::amountText(statement.broughtForward));
    Edit2->setText(DataHelpers::amountText(statement.closing));
}

TQcompdetail& TFrmCompDetail::fillReport()
{
    TQcompdetail& layout = ReportLayouts::get<TQcompdetail>();
    const QLocale locale;
    layout.setLabelText(QStringLiteral("title"),
                        windowTitle() + (RadioButton1->isChecked() ? QStringLiteral("（应收）") : QStringLiteral("（应付）")));
    layout.setLabelText(QStringLiteral("khbm"), ComboBox1->currentText());
    layout.setLabelText(QStringLiteral("khmc"), ComboBox2->currentText());
    layout.setLabelText(QStringLiteral("rqfw"), locale.toString(DP1->date(), QLocale::ShortFormat) + QStringLiteral(" - ")
                                                    + locale.toString(DP2->date(), QLocale::ShortFormat));
    layout.setLabelText(QStringLiteral("sqjy"), Edit1->text());
    layout.setLabelText(QStringLiteral("qmye"), Edit2->text());
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
