#include "accounts/TFrmCompDetail.h"

#include "accounts/AccountsParts.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "shop/Receivables.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowParts.h"
#include "ui/WindowPlacement.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

using WindowParts::named;

TFrmCompDetail::TFrmCompDetail(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmCompDetail"));
    setWindowTitle(QStringLiteral("客户往来明细"));
    resize(792, 573);

    auto* bar = new QHBoxLayout;
    cmd_find = WindowParts::addButton(bar, "cmd_find", QStringLiteral("查询[&F]"));
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

    Grid1 = named<QTableWidget>("Grid1", this);
    Grid1->setColumnCount(6);
    Grid1->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("类别"), QStringLiteral("单号"),
                                      QStringLiteral("增加"), QStringLiteral("减少"), QStringLiteral("余额")});
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid1->verticalHeader()->hide();
    Grid1->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < 6; ++c)
        Grid1->setColumnWidth(c, c == 2 ? 150 : 100);
    ui::placeGridWindow(this, Grid1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(choices);
    layout->addLayout(sides);
    layout->addLayout(totals);
    layout->addWidget(Grid1, 1);

    connect(cmd_find, &QPushButton::clicked, this, &TFrmCompDetail::cmd_findClick);
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
}

void TFrmCompDetail::cmd_findClick()
{
    // A refused query leaves no earlier company's lines under its message.
    Grid1->setRowCount(0);
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
    const auto amount = [](double value) { return value == 0 ? QString() : DataHelpers::amountText(value); };
    Grid1->setRowCount(int(statement.lines.size()));
    for (int row = 0; row < statement.lines.size(); ++row) {
        const Receivables::StatementLine& line = statement.lines.at(row);
        const QStringList texts = {line.date.toString(Qt::ISODate), line.kind, line.number, amount(line.increase),
                                   amount(line.decrease), DataHelpers::amountText(line.balance)};
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts.at(c));
            if (c >= 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Grid1->setItem(row, c, item);
        }
    }
    Edit1->setText(DataHelpers::amountText(statement.broughtForward));
    Edit2->setText(DataHelpers::amountText(statement.closing));
}

void TFrmCompDetail::cmd_exitClick()
{
    close();
}
