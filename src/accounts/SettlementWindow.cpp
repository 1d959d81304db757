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
    connect(Edit5, &QLineEdit::textChanged, this, &SettlementWindow::Edit5Change);
    connect(Edit3, &QLineEdit::textChanged, this, &SettlementWindow::Edit3Change);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &SettlementWindow::ComboBox1Change);
    connect(ComboBox2, &QComboBox::editTextChanged, this, &SettlementWindow::ComboBox2Change);

    FormCreate();
}

void SettlementWindow::buildLayout()
{
    const QString& verb = m_setup.verb;
    auto* bar = new QHBoxLayout;
    cmd_add = WindowParts::addButton(bar, "cmd_add", QStringLiteral("结算[&K]"));
    cmd_calc = WindowParts::addButton(bar, "cmd_calc", QStringLiteral("%1款[&J]").arg(verb));
    cmd_save = WindowParts::addButton(bar, "cmd_save", QStringLiteral("保存[&S]"));
    cmd_canc = WindowParts::addButton(bar, "cmd_canc", QStringLiteral("取消[&C]"));
    cmd_find = WindowParts::addButton(bar, "cmd_find", QStringLiteral("查询[&F]"));
    cmd_prin = WindowParts::addButton(bar, "cmd_prin", QStringLiteral("打印[&P]"));
    cmd_exit = WindowParts::addButton(bar, "cmd_exit", QStringLiteral("退出[&X]"));
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

    GroupBox2 = group("GroupBox2", QStringLiteral("按客户结算"));
    ComboBox1 = combo("ComboBox1", false);
    ComboBox2 = combo("ComboBox2", false);
    ComboBox1->setMinimumWidth(60);
    ComboBox2->setMinimumWidth(100);
    WindowParts::addLabelled(new QGridLayout(GroupBox2),
                             {{QStringLiteral("编码"), ComboBox1}, {QStringLiteral("名称"), ComboBox2}}, 2);

    GroupBox3 = group("GroupBox3", QStringLiteral("按流水号结算"));
    Edit3 = edit("Edit3", false);
    Edit3->setMaxLength(14);
    Edit3->setMinimumWidth(104);
    WindowParts::addLabelled(new QGridLayout(GroupBox3), {{QStringLiteral("流水单号"), Edit3}}, 1);

    GroupBox4 = group("GroupBox4", QStringLiteral("结算日期范围"));
    const QDate today = Clock::today();
    DP1 = AccountsParts::makeDatePicker("DP1", today, GroupBox4);
    DP2 = AccountsParts::makeDatePicker("DP2", today, GroupBox4);
    auto* dates = new QHBoxLayout(GroupBox4);
    dates->setSpacing(3);
    auto* dateLabel = new QLabel(QStringLiteral("日期"), GroupBox4);
    dateLabel->setBuddy(DP1);
    dates->addWidget(dateLabel);
    dates->addWidget(DP1);
    dates->addWidget(new QLabel(QStringLiteral("-"), GroupBox4));
    dates->addWidget(DP2);

    GroupBox1 = group("GroupBox1", QStringLiteral("结算结果"));
    Edit1 = edit("Edit1", true, true);
    Edit2 = edit("Edit2", true, true);
    Edit4 = edit("Edit4", true, true);
    Edit10 = edit("Edit10", true);
    WindowParts::addLabelled(new QGridLayout(GroupBox1),
                             {{QStringLiteral("应%1总金额").arg(verb), Edit1},
                              {QStringLiteral("已%1总金额").arg(verb), Edit2},
                              {QStringLiteral("欠%1总金额").arg(verb), Edit4},
                              {QStringLiteral("上期节余"), Edit10}},
                             1);

    GroupBox5 = group("GroupBox5", QStringLiteral("%1款明细").arg(verb));
    Edit7 = edit("Edit7", true);
    DP3 = AccountsParts::makeDatePicker("DP3", today, nullptr);
    Edit5 = edit("Edit5", true);
    Edit6 = edit("Edit6", true, true);
    ComboBox3 = combo("ComboBox3", true);
    ComboBox4 = combo("ComboBox4", true);
    ComboBox5 = combo("ComboBox5", true);
    Edit8 = edit("Edit8", true);
    Edit9 = edit("Edit9", true);
    Edit7->setMaxLength(20);
    Edit8->setMaxLength(20);
    Edit9->setMaxLength(50);
    WindowParts::addLabelled(new QGridLayout(GroupBox5),
                             {{QStringLiteral("%1款单号").arg(verb), Edit7},
                              {QStringLiteral("%1款日期").arg(verb), DP3},
                              {QStringLiteral("%1款金额").arg(verb), Edit5},
                              {QStringLiteral("本次结余"), Edit6},
                              {QStringLiteral("开 单 人"), ComboBox3},
                              {QStringLiteral("%1 款 人").arg(verb), ComboBox4},
                              {QStringLiteral("复 核 人"), ComboBox5},
                              {QStringLiteral("凭证号"), Edit8},
                              {QStringLiteral("备注"), Edit9}},
                             3);

    DBGrid1 = named<ui::DbGrid>("DBGrid1", this);
    DBGrid1->setReadOnly(true);
    DBGrid1->setRowSelect(true);
    AccountsParts::addListColumns(DBGrid1, verb);

    auto* filters = new QHBoxLayout;
    filters->setSpacing(4);
    filters->addWidget(GroupBox2, 3);
    filters->addWidget(GroupBox3, 2);
    filters->addWidget(GroupBox4, 3);
    auto* money = new QHBoxLayout;
    money->addWidget(GroupBox1, 1);
    money->addWidget(GroupBox5, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(filters);
    layout->addLayout(money);
    layout->addWidget(DBGrid1, 1);
}

void SettlementWindow::FormCreate()
{
    DataHelpers::adjustComboBoxes(this);
    FillLists();
    db::Dataset* list = m_setup.list;
    // The list shows this window's settlements only, not what another window left in it.
    list->close();
    DBGrid1->setDataset(list);
    AccountsParts::addMarginHook(*list, this);
    setMode(QStringLiteral("null"));
}

void SettlementWindow::FillLists()
{
    try {
        AccountsParts::fillCompanyLists(ComboBox1, ComboBox2);
        for (QComboBox* people : {ComboBox3, ComboBox4, ComboBox5})
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
    GroupBox1->setEnabled(false);
    for (QGroupBox* box : {GroupBox2, GroupBox3, GroupBox4})
        box->setEnabled(!editing);
    GroupBox5->setEnabled(editing);
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
    list->disableControls();
    try {
        Settlement::openList(*list, m_setup.ledger->billTable, m_filter);
        list->enableControls();
    } catch (...) {
        list->enableControls();
        throw;
    }
    AccountsParts::showTotals(Settlement::totals(*list), Edit1, Edit2, Edit4);
    Edit10->setText(generalNumber(Settlement::credit(dataModule().AdoConn, m_filter.compCode)));
}

void SettlementWindow::cmd_addClick()
{
    const QString code = ComboBox1->currentText();
    const QString name = ComboBox2->currentText();
    const QString billNo = Edit3->text();
    if (code.trimmed().isEmpty() && name.trimmed().isEmpty() && billNo.trimmed().isEmpty()) {
        ui::inform(QStringLiteral("请选择客户或流水号结帐！"), this);
        return;
    }
    ClearEntryBoxes();
    m_filter = Settlement::Filter();
    m_filter.byCompany = !code.trimmed().isEmpty() || !name.trimmed().isEmpty();
    m_filter.compCode = m_filter.byCompany ? code : QString();
    m_filter.billNo = billNo;
    m_filter.from = DP1->date();
    m_filter.to = DP2->date();
    m_compName = name;
    m_canTakeMoney = false;
    try {
        drawUp();
    } catch (const std::exception& e) {
        m_printable = false;
        setMode(QStringLiteral("null"));
        report(QStringLiteral("结算失败"), e);
        return;
    }
    bool ok = false;
    m_canTakeMoney = AccountsParts::amountOf(Edit4, &ok) > 0 && ok;
    m_printable = true;
    setMode(QStringLiteral("null"));
    m_setup.list->first();
    Edit5->setText(QStringLiteral("0"));
    Edit6->setText(Edit4->text());
}

void SettlementWindow::cmd_calcClick()
{
    bool ok = false;
    if (!m_canTakeMoney || !hasRight(Right::Edit, m_setup.position) || !(AccountsParts::amountOf(Edit4, &ok) > 0) || !ok)
        return;
    setMode(QStringLiteral("edit"));
    Edit5->clear();
    Edit6->clear();
    DP3->setDate(Clock::today());
    m_proposedNumber = DataHelpers::timeStamp();
    Edit7->setText(m_proposedNumber);
    Edit7->setFocus();
}

void SettlementWindow::Edit5Change()
{
    if (Edit5->text().trimmed().isEmpty())
        return;
    bool amountOk = false, creditOk = false, owingOk = false;
    const double amount = AccountsParts::amountOf(Edit5, &amountOk);
    const double credit = AccountsParts::amountOf(Edit10, &creditOk);
    const double owing = AccountsParts::amountOf(Edit4, &owingOk);
    if (amountOk && creditOk && owingOk)
        Edit6->setText(amountText(Settlement::newBalance(amount, credit, owing)));
}

void SettlementWindow::cmd_saveClick()
{
    if (!isEditing())
        return;
    bool ok = false;
    const double amount = AccountsParts::amountOf(Edit5, &ok);
    if (!ok || !(amount > 0)) {
        ui::inform(QStringLiteral("%1款金额“%2”必须大于0").arg(m_setup.verb, Edit5->text().trimmed()), this);
        Edit5->setFocus();
        Edit5->selectAll();
        return;
    }
    Settlement::Voucher voucher;
    voucher.number = Edit7->text();
    voucher.numberProposed = voucher.number == m_proposedNumber;
    voucher.date = DP3->date();
    voucher.compName = m_compName;
    voucher.amount = amount;
    voucher.operName = ComboBox3->currentText();
    voucher.feiName = ComboBox4->currentText();
    voucher.chekName = ComboBox5->currentText();
    voucher.invoiceNo = Edit8->text();
    voucher.remark = Edit9->text();
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
                Edit5Change();
            } catch (const std::exception& again) {
                report(QStringLiteral("结算无法重新读取"), again);
            }
            return;
        }
        ui::inform(SaveIdentity::alreadySaved, this);
        saved = *stored;
    }
    m_saveAttempt.succeeded();
    Edit6->setText(amountText(saved.balance));
    Edit7->setText(saved.number);
    m_canTakeMoney = false;
    setMode(QStringLiteral("null"));
    try {
        const ui::BusyCursor busy;
        m_setup.list->requery();
    } catch (const std::exception& e) {
        report(QStringLiteral("结算无法重新读取"), e);
    }
}

void SettlementWindow::cmd_cancClick()
{
    setMode(QStringLiteral("null"));
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
    AccountsParts::setTextQuietly(ComboBox1, text("comp_code"));
    AccountsParts::setTextQuietly(ComboBox2, text("comp_name"));
    {
        // The voucher shows its company and its bill number together.
        const QSignalBlocker blocker(Edit3);
        Edit3->setText(text("bill_no"));
    }
    Edit1->setText(number("shou_tota"));
    Edit2->setText(number("fact_tota"));
    Edit4->setText(number("lack_tota"));
    DP1->setDate(date("start_date"));
    Edit10->setText(number("last_tota"));
    DP2->setDate(date("end_date"));
    DP3->setDate(date("fei_date"));
    Edit7->setText(text("fei_no"));
    {
        const QSignalBlocker blocker(Edit5);
        Edit5->setText(number("fei_tota"));
    }
    Edit6->setText(number("rest_tota"));
    AccountsParts::setTextQuietly(ComboBox3, text("oper_name"));
    AccountsParts::setTextQuietly(ComboBox4, text("fei_name"));
    AccountsParts::setTextQuietly(ComboBox5, text("chek_name"));
    Edit8->setText(text("invo_no"));
    Edit9->setText(text("re_mark"));
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
            {"khbm", ComboBox1->currentText()}, {"khmc", ComboBox2->currentText()}, {"lsdh", Edit3->text()},
            {"rqfw1", shortDate(DP1->date())},  {"rqfw2", shortDate(DP2->date())},  {"ysjea", Edit1->text()},
            {"ysjeb", Edit2->text()},           {"qkje", Edit4->text()},            {"skje", Edit5->text()},
            {"zhje", Edit6->text()},            {"skdh", Edit7->text()},            {"skri", shortDate(DP3->date())},
            {"kdr", ComboBox3->currentText()},  {"skr", ComboBox4->currentText()},  {"fhr", ComboBox5->currentText()},
            {"pzh", Edit8->text()},             {"bz", Edit9->text()},              {"sqjy", Edit10->text()}};
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

void SettlementWindow::ComboBox1Change()
{
    AccountsParts::showNameOfCode(ComboBox1, ComboBox2);
}

void SettlementWindow::ComboBox2Change()
{
    AccountsParts::showCodeOfName(ComboBox1, ComboBox2);
}

void SettlementWindow::Edit3Change()
{
    if (Edit3->text().trimmed().isEmpty())
        return;
    AccountsParts::setTextQuietly(ComboBox1, QString());
    AccountsParts::setTextQuietly(ComboBox2, QString());
}
