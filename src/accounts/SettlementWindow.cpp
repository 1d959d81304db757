#include "accounts/SettlementWindow.h"

#include "core/Clock.h"
#include "accounts/AccountsParts.h"
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
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <memory>

using DataHelpers::amountText;
using WindowParts::named;

namespace {

// Entry boxes the window empties before every settlement (they carry the tag 1).
const char* const entryTag = "entryBox";

QString generalNumber(double value)
{
    return QString::number(value, 'g', 15);
}

QString shortDate(const QDate& date)
{
    return QLocale().toString(date, QLocale::ShortFormat);
}

} // namespace

SettlementWindow::SettlementWindow(Setup setup, QWidget* parent)
    : ui::ModeWindow(parent), m_setup(std::move(setup))
{
    setWindowTitle(QStringLiteral("%1款单").arg(m_setup.verb));
    setFixedSize(792, 573);
    buildLayout();

    connect(cmd_add, &QPushButton::clicked, this, &SettlementWindow::cmd_addClick);
    connect(cmd_calc, &QPushButton::clicked, this, &SettlementWindow::cmd_calcClick);
    connect(cmd_save, &QPushButton::clicked, this, &SettlementWindow::cmd_saveClick);
    connect(cmd_canc, &QPushButton::clicked, this, &SettlementWindow::cmd_cancClick);
    connect(cmd_find, &QPushButton::clicked, this, &SettlementWindow::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &SettlementWindow::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &SettlementWindow::cmd_exitClick);
    connect(amountEdit, &QLineEdit::textChanged, this, &SettlementWindow::showNewBalance);
    connect(billNoEdit, &QLineEdit::textChanged, this, &SettlementWindow::clearCompany);
    connect(companyCodeBox, &QComboBox::editTextChanged, this, &SettlementWindow::showCompanyName);
    connect(companyNameBox, &QComboBox::editTextChanged, this, &SettlementWindow::showCompanyCode);

    FormCreate();
}

void SettlementWindow::buildLayout()
{
    const QString& verb = m_setup.verb;
    auto* bar = new QHBoxLayout;
    cmd_add = WindowParts::addButton(bar, "cmd_add", QStringLiteral("结算[&K]"));
    cmd_calc = WindowParts::addButton(bar, "cmd_calc", QStringLiteral("%1款[&J]").arg(verb));
    cmd_save = WindowParts::addCommand(bar, "cmd_save", WindowParts::Command::Save);
    cmd_canc = WindowParts::addCommand(bar, "cmd_canc", WindowParts::Command::Cancel);
    cmd_find = WindowParts::addCommand(bar, "cmd_find", WindowParts::Command::Find);
    cmd_prin = WindowParts::addCommand(bar, "cmd_prin", WindowParts::Command::Print);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();

    const auto group = [this](const char* name, const QString& title) {
        auto* box = named<QGroupBox>(name, this);
        box->setTitle(title);
        return box;
    };
    const auto edit = [](const char* name, bool entry, bool readOnly = false) {
        auto* box = named<QLineEdit>(name);
        box->setReadOnly(readOnly);
        // Enter and Tab pass over what the user cannot type into.
        if (readOnly)
            box->setFocusPolicy(Qt::ClickFocus);
        if (entry)
            box->setProperty(entryTag, true);
        return box;
    };
    const auto combo = [](const char* name, bool entry) {
        auto* box = named<QComboBox>(name);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        if (entry)
            box->setProperty(entryTag, true);
        return box;
    };

    byCompanyGroup = group("GroupBox2", QStringLiteral("按客户结算"));
    companyCodeBox = combo("ComboBox1", false);
    companyNameBox = combo("ComboBox2", false);
    companyCodeBox->setMinimumWidth(60);
    companyNameBox->setMinimumWidth(100);
    WindowParts::addLabelled(new QGridLayout(byCompanyGroup),
                             {{QStringLiteral("编码"), companyCodeBox}, {QStringLiteral("名称"), companyNameBox}}, 2);

    byBillGroup = group("GroupBox3", QStringLiteral("按流水号结算"));
    billNoEdit = edit("Edit3", false);
    billNoEdit->setMaxLength(14);
    billNoEdit->setMinimumWidth(104);
    WindowParts::addLabelled(new QGridLayout(byBillGroup), {{QStringLiteral("流水单号"), billNoEdit}}, 1);

    periodGroup = group("GroupBox4", QStringLiteral("结算日期范围"));
    const QDate today = Clock::today();
    fromDateEdit = AccountsParts::makeDatePicker("DP1", today, periodGroup);
    toDateEdit = AccountsParts::makeDatePicker("DP2", today, periodGroup);
    auto* dates = new QHBoxLayout(periodGroup);
    dates->setSpacing(3);
    auto* dateLabel = new QLabel(QStringLiteral("日期"), periodGroup);
    dateLabel->setBuddy(fromDateEdit);
    dates->addWidget(dateLabel);
    dates->addWidget(fromDateEdit);
    dates->addWidget(new QLabel(QStringLiteral("-"), periodGroup));
    dates->addWidget(toDateEdit);

    resultGroup = group("GroupBox1", QStringLiteral("结算结果"));
    totalDueEdit = edit("Edit1", true, true);
    totalPaidEdit = edit("Edit2", true, true);
    totalOwingEdit = edit("Edit4", true, true);
    previousBalanceEdit = edit("Edit10", true);
    WindowParts::addLabelled(new QGridLayout(resultGroup),
                             {{QStringLiteral("应%1总金额").arg(verb), totalDueEdit},
                              {QStringLiteral("已%1总金额").arg(verb), totalPaidEdit},
                              {QStringLiteral("欠%1总金额").arg(verb), totalOwingEdit},
                              {QStringLiteral("上期节余"), previousBalanceEdit}},
                             1);

    voucherGroup = group("GroupBox5", QStringLiteral("%1款明细").arg(verb));
    voucherNoEdit = edit("Edit7", true);
    voucherDateEdit = AccountsParts::makeDatePicker("DP3", today, nullptr);
    amountEdit = edit("Edit5", true);
    newBalanceEdit = edit("Edit6", true, true);
    madeByBox = combo("ComboBox3", true);
    handledByBox = combo("ComboBox4", true);
    checkedByBox = combo("ComboBox5", true);
    invoiceNoEdit = edit("Edit8", true);
    remarkEdit = edit("Edit9", true);
    voucherNoEdit->setMaxLength(20);
    invoiceNoEdit->setMaxLength(20);
    remarkEdit->setMaxLength(50);
    WindowParts::addLabelled(new QGridLayout(voucherGroup),
                             {{QStringLiteral("%1款单号").arg(verb), voucherNoEdit},
                              {QStringLiteral("%1款日期").arg(verb), voucherDateEdit},
                              {QStringLiteral("%1款金额").arg(verb), amountEdit},
                              {QStringLiteral("本次结余"), newBalanceEdit},
                              {QStringLiteral("开 单 人"), madeByBox},
                              {QStringLiteral("%1 款 人").arg(verb), handledByBox},
                              {QStringLiteral("复 核 人"), checkedByBox},
                              {QStringLiteral("凭证号"), invoiceNoEdit},
                              {QStringLiteral("备注"), remarkEdit}},
                             3);

    billGrid = named<ui::DbGrid>("DBGrid1", this);
    billGrid->setReadOnly(true);
    billGrid->setRowSelect(true);
    AccountsParts::addListColumns(billGrid, verb);

    auto* filters = new QHBoxLayout;
    filters->setSpacing(4);
    filters->addWidget(byCompanyGroup, 3);
    filters->addWidget(byBillGroup, 2);
    filters->addWidget(periodGroup, 3);
    auto* money = new QHBoxLayout;
    money->addWidget(resultGroup, 1);
    money->addWidget(voucherGroup, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(filters);
    layout->addLayout(money);
    layout->addWidget(billGrid, 1);
}

void SettlementWindow::FormCreate()
{
    DataHelpers::adjustComboBoxes(this);
    FillLists();
    db::Dataset* list = m_setup.list;
    // The list shows this window's settlements only, not what another window left in it.
    list->close();
    billGrid->setDataset(list);
    AccountsParts::addMarginHook(*list, this);
    setMode(Mode::Browsing);
}

void SettlementWindow::FillLists()
{
    try {
        AccountsParts::fillCompanyLists(companyCodeBox, companyNameBox);
        for (QComboBox* people : {madeByBox, handledByBox, checkedByBox})
            DataHelpers::fillCombo(QStringLiteral("employee"), QStringLiteral("empl_name"), people);
    } catch (const std::exception& e) {
        report(QStringLiteral("公司和员工列表无法读取"), e);
    }
}

void SettlementWindow::showEvent(QShowEvent* event)
{
    ui::ModeWindow::showEvent(event);
    ui::centreOnScreen(this);
}

void SettlementWindow::updateButtons()
{
    const bool editing = isEditing();
    const int position = m_setup.position;
    resultGroup->setEnabled(false);
    for (QGroupBox* box : {byCompanyGroup, byBillGroup, periodGroup})
        box->setEnabled(!editing);
    voucherGroup->setEnabled(editing);
    cmd_add->setEnabled(!editing && hasRight(Right::Add, position));
    cmd_calc->setEnabled(!editing && m_canTakeMoney && hasRight(Right::Edit, position));
    cmd_save->setEnabled(editing);
    cmd_canc->setEnabled(editing);
    cmd_find->setEnabled(!editing && hasRight(Right::Find, position));
    cmd_prin->setEnabled(!editing && hasRight(Right::Print, position));
    cmd_exit->setEnabled(!editing);
}

void SettlementWindow::report(const QString& what, const std::exception& error)
{
    ui::showError(QStringLiteral("%1：%2").arg(what, ui::errorText(error)), this);
}

void SettlementWindow::ClearEntryBoxes()
{
    for (QLineEdit* box : findChildren<QLineEdit*>())
        if (box->property(entryTag).toBool())
            box->clear();
    for (QComboBox* box : findChildren<QComboBox*>())
        if (box->property(entryTag).toBool())
            AccountsParts::setTextQuietly(box, QString());
}

void SettlementWindow::drawUp()
{
    const ui::BusyCursor busy;
    db::Dataset* list = m_setup.list;
    {
        const ui::QuietControls quiet(*list);
        Settlement::openList(*list, m_setup.ledger->billTable, m_filter);
    }
    AccountsParts::showTotals(Settlement::totals(*list), totalDueEdit, totalPaidEdit, totalOwingEdit);
    previousBalanceEdit->setText(generalNumber(Settlement::credit(dataModule().AdoConn, m_filter.compCode)));
}

void SettlementWindow::cmd_addClick()
{
    const QString code = companyCodeBox->currentText();
    const QString name = companyNameBox->currentText();
    const QString billNo = billNoEdit->text();
    if (code.trimmed().isEmpty() && name.trimmed().isEmpty() && billNo.trimmed().isEmpty()) {
        ui::inform(QStringLiteral("请选择客户或流水号结帐！"), this);
        return;
    }
    ClearEntryBoxes();
    m_filter = Settlement::Filter();
    m_filter.byCompany = !code.trimmed().isEmpty() || !name.trimmed().isEmpty();
    m_filter.compCode = m_filter.byCompany ? code : QString();
    m_filter.billNo = billNo;
    m_filter.from = fromDateEdit->date();
    m_filter.to = toDateEdit->date();
    m_compName = name;
    m_canTakeMoney = false;
    try {
        drawUp();
    } catch (const std::exception& e) {
        m_printable = false;
        setMode(Mode::Browsing);
        report(QStringLiteral("结算失败"), e);
        return;
    }
    bool ok = false;
    m_canTakeMoney = AccountsParts::amountOf(totalOwingEdit, &ok) > 0 && ok;
    m_printable = true;
    setMode(Mode::Browsing);
    m_setup.list->first();
    amountEdit->setText(QStringLiteral("0"));
    newBalanceEdit->setText(totalOwingEdit->text());
}

void SettlementWindow::cmd_calcClick()
{
    bool ok = false;
    if (!m_canTakeMoney || !hasRight(Right::Edit, m_setup.position) || !(AccountsParts::amountOf(totalOwingEdit, &ok) > 0) || !ok)
        return;
    setMode(Mode::Editing);
    amountEdit->clear();
    newBalanceEdit->clear();
    voucherDateEdit->setDate(Clock::today());
    m_proposedNumber = DataHelpers::timeStamp();
    voucherNoEdit->setText(m_proposedNumber);
    voucherNoEdit->setFocus();
}

void SettlementWindow::showNewBalance()
{
    if (amountEdit->text().trimmed().isEmpty())
        return;
    bool amountOk = false, creditOk = false, owingOk = false;
    const double amount = AccountsParts::amountOf(amountEdit, &amountOk);
    const double credit = AccountsParts::amountOf(previousBalanceEdit, &creditOk);
    const double owing = AccountsParts::amountOf(totalOwingEdit, &owingOk);
    if (amountOk && creditOk && owingOk)
        newBalanceEdit->setText(amountText(Settlement::newBalance(amount, credit, owing)));
}

void SettlementWindow::cmd_saveClick()
{
    if (!isEditing())
        return;
    bool ok = false;
    const double amount = AccountsParts::amountOf(amountEdit, &ok);
    if (!ok || !(amount > 0)) {
        ui::inform(QStringLiteral("%1款金额“%2”必须大于0").arg(m_setup.verb, amountEdit->text().trimmed()), this);
        amountEdit->setFocus();
        amountEdit->selectAll();
        return;
    }
    Settlement::Voucher voucher;
    voucher.number = voucherNoEdit->text();
    voucher.numberProposed = voucher.number == m_proposedNumber;
    voucher.date = voucherDateEdit->date();
    voucher.compName = m_compName;
    voucher.amount = amount;
    voucher.operName = madeByBox->currentText();
    voucher.feiName = handledByBox->currentText();
    voucher.chekName = checkedByBox->currentText();
    voucher.invoiceNo = invoiceNoEdit->text();
    voucher.remark = remarkEdit->text();
    voucher.saveId = m_saveAttempt.identityFor({voucher, m_filter});
    Settlement::Saved saved;
    try {
        const ui::BusyCursor busy;
        saved = Settlement::save(dataModule().AdoConn, *m_setup.ledger, m_filter, voucher);
    } catch (const std::exception& e) {
        // A save whose answer was lost may be stored: it is looked for first.
        const std::optional<Settlement::Saved> stored = SaveIdentity::findAfter<Settlement::Saved>(
            e, [&] { return Settlement::storedBy(dataModule().AdoConn, *m_setup.ledger, voucher.saveId); });
        if (!stored) {
            report(QStringLiteral("%1款单保存失败").arg(m_setup.verb), e);
            // Show the bills as they stand, so what the user retries against is what is stored.
            try {
                drawUp();
                showNewBalance();
            } catch (const std::exception& again) {
                report(QStringLiteral("结算无法重新读取"), again);
            }
            return;
        }
        ui::inform(SaveIdentity::alreadySaved, this);
        saved = *stored;
    }
    m_saveAttempt.succeeded();
    newBalanceEdit->setText(amountText(saved.balance));
    voucherNoEdit->setText(saved.number);
    m_canTakeMoney = false;
    setMode(Mode::Browsing);
    try {
        const ui::BusyCursor busy;
        m_setup.list->requery();
    } catch (const std::exception& e) {
        report(QStringLiteral("结算无法重新读取"), e);
    }
}

void SettlementWindow::cmd_cancClick()
{
    setMode(Mode::Browsing);
}

void SettlementWindow::cmd_findClick()
{
    const std::unique_ptr<QDialog> finder(m_setup.makeFinder(this));
    if (ui::dialogs().exec(finder.get()) != QDialog::Accepted)
        return;
    showVoucher(*m_setup.vouchers);
    // A found voucher is already spent: a new amount needs a new settlement.
    m_canTakeMoney = false;
    m_printable = true;
    updateButtons();
}

void SettlementWindow::showVoucher(const db::Dataset& v)
{
    const auto number = [&v](const char* field) { return generalNumber(v.number(QString::fromLatin1(field))); };
    const auto text = [&v](const char* field) { return v.text(QString::fromLatin1(field)); };
    const auto date = [&v](const char* field) { return v.value(QString::fromLatin1(field)).toDate(); };
    AccountsParts::setTextQuietly(companyCodeBox, text("comp_code"));
    AccountsParts::setTextQuietly(companyNameBox, text("comp_name"));
    {
        // The voucher shows its company and its bill number together.
        const QSignalBlocker blocker(billNoEdit);
        billNoEdit->setText(text("bill_no"));
    }
    totalDueEdit->setText(number("shou_tota"));
    totalPaidEdit->setText(number("fact_tota"));
    totalOwingEdit->setText(number("lack_tota"));
    fromDateEdit->setDate(date("start_date"));
    previousBalanceEdit->setText(number("last_tota"));
    toDateEdit->setDate(date("end_date"));
    voucherDateEdit->setDate(date("fei_date"));
    voucherNoEdit->setText(text("fei_no"));
    {
        const QSignalBlocker blocker(amountEdit);
        amountEdit->setText(number("fei_tota"));
    }
    newBalanceEdit->setText(number("rest_tota"));
    AccountsParts::setTextQuietly(madeByBox, text("oper_name"));
    AccountsParts::setTextQuietly(handledByBox, text("fei_name"));
    AccountsParts::setTextQuietly(checkedByBox, text("chek_name"));
    invoiceNoEdit->setText(text("invo_no"));
    remarkEdit->setText(text("re_mark"));
}

void SettlementWindow::cmd_prinClick()
{
    // Nothing drawn up or found yet: nothing to print.
    if (!m_printable)
        return;
    db::Dataset* list = m_setup.list;
    try {
        ReportLayout& layout = m_setup.report();
        const QList<std::pair<const char*, QString>> values = {
            {"khbm", companyCodeBox->currentText()}, {"khmc", companyNameBox->currentText()}, {"lsdh", billNoEdit->text()},
            {"rqfw1", shortDate(fromDateEdit->date())},  {"rqfw2", shortDate(toDateEdit->date())},  {"ysjea", totalDueEdit->text()},
            {"ysjeb", totalPaidEdit->text()},           {"qkje", totalOwingEdit->text()},            {"skje", amountEdit->text()},
            {"zhje", newBalanceEdit->text()},            {"skdh", voucherNoEdit->text()},            {"skri", shortDate(voucherDateEdit->date())},
            {"kdr", madeByBox->currentText()},  {"skr", handledByBox->currentText()},  {"fhr", checkedByBox->currentText()},
            {"pzh", invoiceNoEdit->text()},             {"bz", remarkEdit->text()},              {"sqjy", previousBalanceEdit->text()}};
        for (const auto& [name, value] : values)
            layout.setLabelText(QString::fromLatin1(name), value);
        AccountsParts::previewList(layout, list, this);
    } catch (const std::exception& e) {
        report(QStringLiteral("无法打印"), e);
    }
}

void SettlementWindow::cmd_exitClick()
{
    close();
}

void SettlementWindow::showCompanyName()
{
    AccountsParts::showNameOfCode(companyCodeBox, companyNameBox);
}

void SettlementWindow::showCompanyCode()
{
    AccountsParts::showCodeOfName(companyCodeBox, companyNameBox);
}

void SettlementWindow::clearCompany()
{
    if (billNoEdit->text().trimmed().isEmpty())
        return;
    AccountsParts::setTextQuietly(companyCodeBox, QString());
    AccountsParts::setTextQuietly(companyNameBox, QString());
}
