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
#include "ui/QuietControls.h"

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
    connect(companyCodeBox, &QComboBox::editTextChanged, this, &StatementWindow::showCompanyName);
    connect(companyNameBox, &QComboBox::editTextChanged, this, &StatementWindow::showCompanyCode);
    FormCreate();
}

void StatementWindow::buildLayout()
{
    const QString& verb = m_setup.verb;
    auto* bar = new QHBoxLayout;
    cmd_find = WindowParts::addButton(bar, "cmd_find", QStringLiteral("结算[&F]"));
    cmd_prin = WindowParts::addCommand(bar, "cmd_prin", WindowParts::Command::Print);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();

    companyGroup = named<QGroupBox>("GroupBox1", this);
    companyGroup->setTitle(QStringLiteral("按客户统计"));
    companyCodeBox = named<QComboBox>("ComboBox1");
    companyNameBox = named<QComboBox>("ComboBox2");
    for (QComboBox* box : {companyCodeBox, companyNameBox}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    companyCodeBox->setMinimumWidth(70);
    companyNameBox->setMinimumWidth(120);
    WindowParts::addLabelled(new QGridLayout(companyGroup),
                             {{QStringLiteral("编码"), companyCodeBox}, {QStringLiteral("名称"), companyNameBox}}, 2);

    stateGroup = named<QGroupBox>("GroupBox3", this);
    stateGroup->setTitle(QStringLiteral("结帐情况"));
    allRadio = named<QRadioButton>("RadioButton1", stateGroup);
    allRadio->setText(QStringLiteral("显示所有数据"));
    allRadio->setChecked(true);
    openOnlyRadio = named<QRadioButton>("RadioButton2", stateGroup);
    openOnlyRadio->setText(QStringLiteral("只显示帐目未结清数据"));
    auto* states = new QVBoxLayout(stateGroup);
    states->addWidget(allRadio);
    states->addWidget(openOnlyRadio);

    periodGroup = named<QGroupBox>("GroupBox2", this);
    periodGroup->setTitle(QStringLiteral("日期范围"));
    fromDateEdit = AccountsParts::makeDatePicker("DP1", Clock::today(), periodGroup);
    toDateEdit = AccountsParts::makeDatePicker("DP2", Clock::today(), periodGroup);
    auto* dates = new QHBoxLayout(periodGroup);
    auto* dateLabel = new QLabel(QStringLiteral("日期"), periodGroup);
    dateLabel->setBuddy(fromDateEdit);
    dates->addWidget(dateLabel);
    dates->addWidget(fromDateEdit);
    dates->addWidget(new QLabel(QStringLiteral("-"), periodGroup));
    dates->addWidget(toDateEdit);

    totalDueEdit = named<QLineEdit>("Edit1");
    totalPaidEdit = named<QLineEdit>("Edit2");
    totalOwingEdit = named<QLineEdit>("Edit3");
    for (QLineEdit* box : {totalDueEdit, totalPaidEdit, totalOwingEdit})
        box->setReadOnly(true);
    auto* totals = new QGridLayout;
    WindowParts::addLabelled(totals,
                             {{QStringLiteral("应%1").arg(verb), totalDueEdit},
                              {QStringLiteral("实%1").arg(verb), totalPaidEdit},
                              {QStringLiteral("欠%1").arg(verb), totalOwingEdit}},
                             3);

    billGrid = named<ui::DbGrid>("DBGrid1", this);
    ui::placeGridWindow(this, billGrid);
    billGrid->setReadOnly(true);
    billGrid->setRowSelect(true);
    AccountsParts::addListColumns(billGrid, verb);

    auto* filters = new QHBoxLayout;
    filters->setSpacing(4);
    filters->addWidget(companyGroup, 4);
    filters->addWidget(stateGroup, 2);
    filters->addWidget(periodGroup, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(filters);
    layout->addLayout(totals);
    layout->addWidget(billGrid, 1);
}

void StatementWindow::FormCreate()
{
    DataHelpers::adjustComboBoxes(this);
    try {
        AccountsParts::fillCompanyLists(companyCodeBox, companyNameBox);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("公司列表无法读取：%1").arg(ui::errorText(e)), this);
    }
    // Only this window's statement is shown and printed, not what another window left.
    m_setup.list->close();
    billGrid->setDataset(m_setup.list);
    AccountsParts::addMarginHook(*m_setup.list, this);
    cmd_find->setEnabled(hasRight(Right::Find, m_setup.position));
    cmd_prin->setEnabled(hasRight(Right::Print, m_setup.position));
}

void StatementWindow::cmd_findClick()
{
    const QString code = companyCodeBox->currentText();
    Settlement::Filter filter;
    filter.byCompany = !code.trimmed().isEmpty() || !companyNameBox->currentText().trimmed().isEmpty();
    filter.compCode = code;
    filter.from = fromDateEdit->date();
    filter.to = toDateEdit->date();
    filter.onlyOpen = openOnlyRadio->isChecked();
    db::Dataset* list = m_setup.list;
    try {
        const ui::BusyCursor busy;
        {
            const ui::QuietControls quiet(*list);
            Settlement::openList(*list, m_setup.billTable, filter);
        }
        m_drawnUp = true;
    } catch (const std::exception& e) {
        m_drawnUp = false;
        ui::showError(QStringLiteral("对帐单无法查询：%1").arg(ui::errorText(e)), this);
    }
    AccountsParts::showTotals(list->isOpen() ? Settlement::totals(*list) : Settlement::Totals(), totalDueEdit, totalPaidEdit, totalOwingEdit);
    // What is owed is the bills less the credit paid in advance by the last day,
    // as the ageing and the company's statement say.
    if (m_drawnUp) {
        try {
            const Receivables::Side side = m_setup.billTable == Settlement::receipts().billTable
                                               ? Receivables::Side::Receivable
                                               : Receivables::Side::Payable;
            const double credit = Receivables::creditOn(dataModule().AdoConn, side, filter.byCompany ? code : QString(),
                                                        filter.to);
            totalOwingEdit->setText(DataHelpers::amountText(shop::amounts::cents(Settlement::totals(*list).owing() - credit)));
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
        layout.setLabelText(QStringLiteral("khbm"), companyCodeBox->currentText());
        layout.setLabelText(QStringLiteral("khmc"), companyNameBox->currentText());
        layout.setLabelText(QStringLiteral("rqfw1"), locale.toString(fromDateEdit->date(), QLocale::ShortFormat));
        layout.setLabelText(QStringLiteral("rqfw2"), locale.toString(toDateEdit->date(), QLocale::ShortFormat));
        layout.setLabelText(QStringLiteral("ysjea"), totalDueEdit->text());
        layout.setLabelText(QStringLiteral("ysjeb"), totalPaidEdit->text());
        layout.setLabelText(QStringLiteral("qkje"), totalOwingEdit->text());
        AccountsParts::previewList(layout, list, this);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法打印：%1").arg(ui::errorText(e)), this);
    }
}

void StatementWindow::cmd_exitClick()
{
    close();
}

void StatementWindow::showCompanyName()
{
    AccountsParts::showNameOfCode(companyCodeBox, companyNameBox);
}

void StatementWindow::showCompanyCode()
{
    AccountsParts::showCodeOfName(companyCodeBox, companyNameBox);
}
