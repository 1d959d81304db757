#include "accounts/StatementWindow.h"

#include "core/Clock.h"
#include "accounts/AccountsParts.h"
#include "shop/Amounts.h"
#include "shop/Receivables.h"
#include "shop/Settlement.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "reports/ReportLayout.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowPlacement.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using WindowParts::named;

StatementWindow::StatementWindow(Setup setup, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup))
{
    setWindowTitle(m_setup.title);
    resize(792, 573);
    buildLayout();
    connect(cmd_find, &QPushButton::clicked, this, &StatementWindow::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &StatementWindow::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &StatementWindow::cmd_exitClick);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &StatementWindow::ComboBox1Change);
    connect(ComboBox2, &QComboBox::editTextChanged, this, &StatementWindow::ComboBox2Change);
    FormCreate();
}

void StatementWindow::buildLayout()
{
    const QString& verb = m_setup.verb;
    auto* bar = new QHBoxLayout;
    cmd_find = WindowParts::addButton(bar, "cmd_find", QStringLiteral("结算[&F]"));
    cmd_prin = WindowParts::addButton(bar, "cmd_prin", QStringLiteral("打印[&P]"));
    cmd_exit = WindowParts::addButton(bar, "cmd_exit", QStringLiteral("退出[&X]"));
    bar->addStretch();

    GroupBox1 = named<QGroupBox>("GroupBox1", this);
    GroupBox1->setTitle(QStringLiteral("按客户统计"));
    ComboBox1 = named<QComboBox>("ComboBox1");
    ComboBox2 = named<QComboBox>("ComboBox2");
    for (QComboBox* box : {ComboBox1, ComboBox2}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    ComboBox1->setMinimumWidth(70);
    ComboBox2->setMinimumWidth(120);
    WindowParts::addLabelled(new QGridLayout(GroupBox1),
                             {{QStringLiteral("编码"), ComboBox1}, {QStringLiteral("名称"), ComboBox2}}, 2);

    GroupBox3 = named<QGroupBox>("GroupBox3", this);
    GroupBox3->setTitle(QStringLiteral("结帐情况"));
    RadioButton1 = named<QRadioButton>("RadioButton1", GroupBox3);
    RadioButton1->setText(QStringLiteral("显示所有数据"));
    RadioButton1->setChecked(true);
    RadioButton2 = named<QRadioButton>("RadioButton2", GroupBox3);
    RadioButton2->setText(QStringLiteral("只显示帐目未结清数据"));
    auto* states = new QVBoxLayout(GroupBox3);
    states->addWidget(RadioButton1);
    states->addWidget(RadioButton2);

    GroupBox2 = named<QGroupBox>("GroupBox2", this);
    GroupBox2->setTitle(QStringLiteral("日期范围"));
    DP1 = AccountsParts::makeDatePicker("DP1", Clock::today(), GroupBox2);
    DP2 = AccountsParts::makeDatePicker("DP2", Clock::today(), GroupBox2);
    auto* dates = new QHBoxLayout(GroupBox2);
    auto* dateLabel = new QLabel(QStringLiteral("日期"), GroupBox2);
    dateLabel->setBuddy(DP1);
    dates->addWidget(dateLabel);
    dates->addWidget(DP1);
    dates->addWidget(new QLabel(QStringLiteral("-"), GroupBox2));
    dates->addWidget(DP2);

    Edit1 = named<QLineEdit>("Edit1");
    Edit2 = named<QLineEdit>("Edit2");
    Edit3 = named<QLineEdit>("Edit3");
    for (QLineEdit* box : {Edit1, Edit2, Edit3})
        box->setReadOnly(true);
    auto* totals = new QGridLayout;
    WindowParts::addLabelled(totals,
                             {{QStringLiteral("应%1").arg(verb), Edit1},
                              {QStringLiteral("实%1").arg(verb), Edit2},
                              {QStringLiteral("欠%1").arg(verb), Edit3}},
                             3);

    DBGrid1 = named<ui::DbGrid>("DBGrid1", this);
    ui::placeGridWindow(this, DBGrid1);
    DBGrid1->setReadOnly(true);
    DBGrid1->setRowSelect(true);
    AccountsParts::addListColumns(DBGrid1, verb);

    auto* filters = new QHBoxLayout;
    filters->setSpacing(4);
    filters->addWidget(GroupBox1, 4);
    filters->addWidget(GroupBox3, 2);
    filters->addWidget(GroupBox2, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(filters);
    layout->addLayout(totals);
    layout->addWidget(DBGrid1, 1);
}

void StatementWindow::FormCreate()
{
    DataHelpers::adjustComboBoxes(this);
    try {
        AccountsParts::fillCompanyLists(ComboBox1, ComboBox2);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("公司列表无法读取：%1").arg(ui::errorText(e)), this);
    }
    // Only this window's statement is shown and printed, not what another window left.
    m_setup.list->close();
    DBGrid1->setDataset(m_setup.list);
    AccountsParts::addMarginHook(*m_setup.list, this);
    cmd_find->setEnabled(hasRight(Right::Find, m_setup.position));
    cmd_prin->setEnabled(hasRight(Right::Print, m_setup.position));
}

void StatementWindow::cmd_findClick()
{
    const QString code = ComboBox1->currentText();
    Settlement::Filter filter;
    filter.byCompany = !code.trimmed().isEmpty() || !ComboBox2->currentText().trimmed().isEmpty();
    filter.compCode = code;
    filter.from = DP1->date();
    filter.to = DP2->date();
    filter.onlyOpen = RadioButton2->isChecked();
    db::Dataset* list = m_setup.list;
    try {
        const ui::BusyCursor busy;
        list->disableControls();
        Settlement::openList(*list, m_setup.billTable, filter);
        list->enableControls();
        m_drawnUp = true;
    } catch (const std::exception& e) {
        if (list->controlsDisabled())
            list->enableControls();
        m_drawnUp = false;
        ui::showError(QStringLiteral("对帐单无法查询：%1").arg(ui::errorText(e)), this);
    }
    AccountsParts::showTotals(list->isOpen() ? Settlement::totals(*list) : Settlement::Totals(), Edit1, Edit2, Edit3);
    // What is owed is the bills less the credit paid in advance by the last day,
    // as the ageing and the company's statement say.
    if (m_drawnUp) {
        try {
            const Receivables::Side side = m_setup.billTable == Settlement::receipts().billTable
                                               ? Receivables::Side::Receivable
                                               : Receivables::Side::Payable;
            const double credit = Receivables::creditOn(dataModule().AdoConn, side, filter.byCompany ? code : QString(),
                                                        filter.to);
            Edit3->setText(DataHelpers::amountText(shop::amounts::cents(Settlement::totals(*list).owing() - credit)));
        } catch (const std::exception& e) {
            ui::showError(QStringLiteral("对帐单无法查询：%1").arg(ui::errorText(e)), this);
        }
    }
    if (list->isOpen() && !list->isEmpty())
        list->first();
}

void StatementWindow::cmd_prinClick()
{
    // Nothing drawn up yet: nothing to print.
    if (!m_drawnUp)
        return;
    db::Dataset* list = m_setup.list;
    try {
        ReportLayout& layout = m_setup.report();
        const QLocale locale;
        layout.setLabelText(QStringLiteral("khbm"), ComboBox1->currentText());
        layout.setLabelText(QStringLiteral("khmc"), ComboBox2->currentText());
        layout.setLabelText(QStringLiteral("rqfw1"), locale.toString(DP1->date(), QLocale::ShortFormat));
        layout.setLabelText(QStringLiteral("rqfw2"), locale.toString(DP2->date(), QLocale::ShortFormat));
        layout.setLabelText(QStringLiteral("ysjea"), Edit1->text());
        layout.setLabelText(QStringLiteral("ysjeb"), Edit2->text());
        layout.setLabelText(QStringLiteral("qkje"), Edit3->text());
        AccountsParts::previewList(layout, list, this);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法打印：%1").arg(ui::errorText(e)), this);
    }
}

void StatementWindow::cmd_exitClick()
{
    close();
}

void StatementWindow::ComboBox1Change()
{
    AccountsParts::showNameOfCode(ComboBox1, ComboBox2);
}

void StatementWindow::ComboBox2Change()
{
    AccountsParts::showCodeOfName(ComboBox1, ComboBox2);
}
