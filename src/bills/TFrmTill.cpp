#include "bills/TFrmTill.h"

#include "bills/TillAmountDialog.h"
#include "bills/TillPayDialog.h"
#include "bills/TillReturnDialog.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Error.h"
#include "reports/ReceiptPrinter.h"
#include "shop/Amounts.h"
#include "shop/BillRules.h"
#include "shop/TillShift.h"
#include "ui/Dialogs.h"
#include "ui/MemberChoiceDialog.h"
#include "ui/ScanBar.h"
#include "ui/WindowParts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The receipt printer of this PC's settings, read anew for each receipt.
TFrmTill::PrintReceipt& receiptPrinter()
{
    static TFrmTill::PrintReceipt printer = [](const shop::Receipt& receipt) { return ReceiptPrinter().print(receipt); };
    return printer;
}

TFrmTill::PrintShift& shiftPrinter()
{
    static TFrmTill::PrintShift printer = [](const TillShift::Report& report) { return ReceiptPrinter().print(report); };
    return printer;
}

db::Connection& books()
{
    return dataModule().AdoConn;
}

QString cashier()
{
    return CurrentRights::current().userId;
}

const QStringList columnTitles = {"编码", "品名", "数量", "单价", "折扣", "金额"};

QString keysText()
{
    return QStringLiteral("F2 扫描　F3 数量　F4 单品折扣　F11 改价　F5 整单折扣　Del 删除行　F6 挂单　F7 取单　"
                          "Ins 会员　F8 退货　F9 重打小票　F10 交班　F12/Enter 收款　Esc 关闭");
}

} // namespace

void TFrmTill::setReceiptPrinter(PrintReceipt printer)
{
    receiptPrinter() = std::move(printer);
}

void TFrmTill::setShiftPrinter(PrintShift printer)
{
    shiftPrinter() = std::move(printer);
}

TFrmTill::TFrmTill(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmTill"));
    setWindowTitle(QStringLiteral("零售收银"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_scan = new ui::ScanBar(this);
    m_scan->setObjectName(QStringLiteral("scanBar"));
    m_grid = WindowParts::named<QTableWidget>("linesGrid", this);
    m_grid->setColumnCount(int(columnTitles.size()));
    m_grid->setHorizontalHeaderLabels(columnTitles);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_total = WindowParts::named<QLabel>("totalLabel", this);
    m_pieces = WindowParts::named<QLabel>("piecesLabel", this);
    m_customer = WindowParts::named<QLabel>("customerLabel", this);
    m_shiftLabel = WindowParts::named<QLabel>("shiftLabel", this);
    QFont huge = font();
    huge.setPointSize(huge.pointSize() * 4);
    huge.setBold(true);
    m_total->setFont(huge);
    m_total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* keys = WindowParts::named<QLabel>("keysLabel", this);
    keys->setText(keysText());
    keys->setWordWrap(true);
    keys->setStyleSheet(QStringLiteral("QLabel{background:#263238;color:white;padding:6px}"));

    auto* side = new QVBoxLayout;
    side->addWidget(m_customer);
    side->addWidget(m_shiftLabel);
    side->addStretch();
    side->addWidget(new QLabel(QStringLiteral("合计"), this));
    side->addWidget(m_total);
    side->addWidget(m_pieces);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_grid, 3);
    middle->addLayout(side, 1);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_scan);
    column->addLayout(middle, 1);
    column->addWidget(keys);

    connect(m_scan, &ui::ScanBar::scanned, this, [this](const QString& code) {
        if (m_awaitingMember)
            takeMember(code);
        else if (code.trimmed().isEmpty())
            pay();
        else
            addScanned(code);
    });
    buildKeys();
    refresh();
    // Where no window manager maximizes it, still a counter's size.
    resize(1200, 760);
    setWindowState(Qt::WindowMaximized);
    m_scan->box()->setFocus();
}

void TFrmTill::buildKeys()
{
    const QList<std::pair<int, void (TFrmTill::*)()>> keys = {
        {Qt::Key_F3, &TFrmTill::changeQuantity}, {Qt::Key_F4, &TFrmTill::discountLine},
        {Qt::Key_F5, &TFrmTill::discountSale},
        {Qt::Key_F6, &TFrmTill::suspend},        {Qt::Key_F7, &TFrmTill::resume},
        {Qt::Key_F8, &TFrmTill::returnGoods},    {Qt::Key_F9, &TFrmTill::reprint},
        {Qt::Key_F10, &TFrmTill::closeShift},    {Qt::Key_F11, &TFrmTill::changePrice},
        {Qt::Key_F12, &TFrmTill::pay},           {Qt::Key_Insert, &TFrmTill::chooseMember}};
    // Delete in the empty scan box removes the line (the box keeps Delete while it holds text).
    m_scan->box()->installEventFilter(this);
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, action);
    }
}

bool TFrmTill::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_scan->box() || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Delete && m_scan->box()->text().isEmpty()) {
        removeLine();
        return true;
    }
    // Up and Down choose the line the keys work on.
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && !m_lines.isEmpty()) {
        m_grid->selectRow(qBound(0, currentRow() + (key == Qt::Key_Up ? -1 : 1), int(m_lines.size()) - 1));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmTill::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shiftAsked) {
        m_shiftAsked = true;
        startShift();
    }
    m_scan->box()->setFocus();
}

bool TFrmTill::startShift()
{
    if (const auto open = TillShift::current(books(), cashier())) {
        m_shift = open->id;
        // A shift of an earlier start was never closed (the PC may have gone off): close it now or go on with it.
        if (ui::dialogs().ask(this, QStringLiteral("%1 开的班还没有交班，现在交班吗？\n（选“否”继续这一班）")
                                        .arg(open->opened.toString(QStringLiteral("yyyy-MM-dd hh:mm"))),
                              QStringLiteral("提示"), true, ui::Dialogs::Default::Cancel))
            closeShift();
    }
    if (m_shift == 0) {
        const auto openingFloat =
            TillAmountDialog::ask(this, QStringLiteral("开班"), QStringLiteral("备用金（钱箱里的零钱）"), 0);
        if (!openingFloat)
            return false;
        try {
            m_shift = TillShift::open(books(), cashier(), *openingFloat);
        } catch (const db::Error& e) {
            ui::warn(e.message(), this);
            return false;
        }
    }
    refresh();
    return true;
}

int TFrmTill::currentRow() const
{
    const int row = m_grid->currentRow();
    return row >= 0 && row < m_lines.size() ? row : int(m_lines.size()) - 1;
}

void TFrmTill::tell(const QString& text, bool fault)
{
    m_scan->tell(text, fault);
}

void TFrmTill::refresh()
{
    m_grid->setRowCount(int(m_lines.size()));
    double pieces = 0;
    for (int row = 0; row < m_lines.size(); ++row) {
        const TillSale::Line& line = m_lines.at(row);
        const double percent = line.retailPrice > 0 ? line.price / line.retailPrice * 100 : 100;
        const QStringList cells = {line.code,
                                   line.name,
                                   DataHelpers::amountText(line.quantity),
                                   DataHelpers::amountText(line.price),
                                   (percent < 99.995 ? DataHelpers::amountText(shop::amounts::cents(percent)) + QLatin1Char('%')
                                                     : QString())
                                       + (line.rule.isEmpty() ? QString() : QStringLiteral(" ") + line.rule),
                                   DataHelpers::amountText(shop::amounts::cents(line.quantity * line.price))};
        for (int c = 0; c < cells.size(); ++c)
            m_grid->setItem(row, c, new QTableWidgetItem(cells.at(c)));
        pieces += line.quantity;
    }
    const TillSale::Settings settings = TillSale::settings(books());
    const double due = TillSale::due(m_lines, settings);
    m_total->setText(DataHelpers::amountText(due));
    m_pieces->setText(QStringLiteral("%1 件").arg(DataHelpers::amountText(pieces)));
    m_customer->setText(m_member ? QStringLiteral("会员：%1").arg(MemberChoiceDialog::describe(*m_member))
                                 : QStringLiteral("顾客：%1").arg(TillSale::walkInCompany));
    QString shift = QStringLiteral("收银员：%1").arg(cashier());
    if (!m_suspended.isEmpty())
        shift += QStringLiteral("　挂单 %1").arg(m_suspended.size());
    m_shiftLabel->setText(shift);
}

void TFrmTill::addScanned(const QString& code)
{
    const auto goods = TillSale::goods(books(), code);
    if (!goods) {
        tell(QStringLiteral("编码“%1”不是本店的货品").arg(code.trimmed()), true);
        return;
    }
    int row = -1;
    for (int i = 0; i < m_lines.size(); ++i)
        if (m_lines.at(i).code == goods->code)
            row = i;
    if (row < 0) {
        TillSale::Line line{goods->code, goods->name, 1, goods->retailPrice, goods->retailPrice, {}, false};
        const LinePricing::Priced priced = rulePrice(line);
        line.price = priced.price;
        line.rule = priced.rule;
        m_lines.append(line);
        row = int(m_lines.size()) - 1;
    } else {
        m_lines[row].quantity += 1;
    }
    refresh();
    m_grid->selectRow(row);
    tell(QStringLiteral("%1 × %2").arg(goods->name, DataHelpers::amountText(m_lines.at(row).quantity)));
}

void TFrmTill::changeQuantity()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const auto quantity = TillAmountDialog::ask(this, QStringLiteral("数量"), m_lines.at(row).name, m_lines.at(row).quantity);
    if (!quantity)
        return;
    if (const QString why = BillRules::quantityRefusal(*quantity); !why.isEmpty()) {
        tell(QStringLiteral("第%1行：").arg(row + 1) + why, true);
        return;
    }
    m_lines[row].quantity = *quantity;
    refresh();
    m_grid->selectRow(row);
}

void TFrmTill::discountLine()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const auto percent = TillAmountDialog::ask(this, QStringLiteral("单品折扣"),
                                               QStringLiteral("%1：折扣（如 85 为八五折）").arg(m_lines.at(row).name), 100);
    if (percent)
        setLinePrice(row, TillSale::discounted(m_lines.at(row).retailPrice, *percent));
}

void TFrmTill::changePrice()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const auto price = TillAmountDialog::ask(this, QStringLiteral("改价"), QStringLiteral("%1：新单价").arg(m_lines.at(row).name),
                                             m_lines.at(row).price);
    if (price)
        setLinePrice(row, *price);
}

void TFrmTill::setLinePrice(int row, double price)
{
    TillSale::Line changed = m_lines.at(row);
    changed.price = price;
    changed.byHand = true;
    changed.rule.clear();
    if (const QString why = TillSale::priceRefusal(TillSale::settings(books()), row, changed, TillSale::mayChangePrice(),
                                                   rulePrice(changed).price);
        !why.isEmpty()) {
        tell(why, true);
        return;
    }
    m_lines[row] = changed;
    refresh();
    m_grid->selectRow(row);
}

LinePricing::Priced TFrmTill::rulePrice(const TillSale::Line& line) const
{
    return LinePricing::price(books(), line.code, line.retailPrice, Clock::now().date(),
                              LinePricing::termsFor(books(), m_member ? m_member->cardNo : QString()));
}

void TFrmTill::priceByRules()
{
    for (TillSale::Line& line : m_lines) {
        if (line.byHand)
            continue;
        const LinePricing::Priced priced = rulePrice(line);
        line.price = priced.price;
        line.rule = priced.rule;
    }
}

void TFrmTill::chooseMember()
{
    const QString typed = m_scan->box()->text().trimmed();
    if (typed.isEmpty()) {
        m_awaitingMember = true;
        tell(QStringLiteral("请扫描会员卡或输入手机号，按 Enter（空着按 Enter：不用会员）"));
        return;
    }
    m_scan->box()->clear();
    takeMember(typed);
}

void TFrmTill::takeMember(const QString& typed)
{
    m_awaitingMember = false;
    if (typed.trimmed().isEmpty()) {
        setMember(std::nullopt);
        tell(QStringLiteral("本单不用会员"));
        return;
    }
    QString why;
    const auto member = MemberChoiceDialog::find(this, books(), typed, why);
    backToScanning();
    if (!member) {
        if (!why.isEmpty())
            tell(why, true);
        return;
    }
    setMember(member);
    tell(QStringLiteral("会员：%1").arg(MemberChoiceDialog::describe(*member)));
}

void TFrmTill::setMember(const std::optional<MemberPoints::Member>& member)
{
    m_member = member;
    priceByRules();
    refresh();
}

void TFrmTill::discountSale()
{
    if (m_lines.isEmpty())
        return;
    const auto percent = TillAmountDialog::ask(this, QStringLiteral("整单折扣"), QStringLiteral("折扣（1-100，如 90 为九折）"), 100);
    if (!percent)
        return;
    if (*percent <= 0 || *percent > 100) {
        tell(QStringLiteral("折扣“%1”应在1到100之间").arg(DataHelpers::amountText(*percent)), true);
        return;
    }
    QList<TillSale::Line> changed = m_lines;
    const TillSale::Settings settings = TillSale::settings(books());
    for (int row = 0; row < changed.size(); ++row) {
        changed[row].price = TillSale::discounted(changed.at(row).retailPrice, *percent);
        changed[row].byHand = true;
        changed[row].rule.clear();
        if (const QString why = TillSale::priceRefusal(settings, row, changed.at(row), TillSale::mayChangePrice(),
                                                       rulePrice(changed.at(row)).price);
            !why.isEmpty()) {
            tell(why, true);
            return;
        }
    }
    m_lines = changed;
    refresh();
}

void TFrmTill::removeLine()
{
    const int row = currentRow();
    if (row < 0)
        return;
    if (!ui::askYesNo(QStringLiteral("删除第%1行 %2？").arg(row + 1).arg(m_lines.at(row).name), this))
        return;
    m_lines.removeAt(row);
    refresh();
}

void TFrmTill::suspend()
{
    if (m_lines.isEmpty())
        return;
    m_suspended.append({m_lines, m_member});
    m_lines.clear();
    m_member.reset();
    refresh();
    tell(QStringLiteral("已挂单，共 %1 单等待").arg(m_suspended.size()));
}

void TFrmTill::resume()
{
    if (m_suspended.isEmpty()) {
        tell(QStringLiteral("没有挂起的单"), true);
        return;
    }
    // The sale on the screen waits at the back while the oldest comes forward.
    const Waiting waiting = m_suspended.takeFirst();
    if (!m_lines.isEmpty())
        m_suspended.append({m_lines, m_member});
    m_lines = waiting.lines;
    m_member = waiting.member;
    refresh();
    tell(QStringLiteral("已取单%1").arg(m_suspended.isEmpty() ? QString() : QStringLiteral("，还有 %1 单等待").arg(m_suspended.size())));
}

void TFrmTill::pay()
{
    if (m_lines.isEmpty())
        return;
    if (m_shift == 0 && !startShift())
        return;
    const double due = TillSale::due(m_lines, TillSale::settings(books()));
    TillPayDialog dialog(due, TillSale::methods(books()), this);
    if (m_member) {
        // The points as they stand now, not as they stood when the member was chosen.
        if (const auto now = MemberPoints::byCard(books(), m_member->cardNo))
            m_member = now;
        dialog.allowPoints(MemberPoints::mostRedeemable(m_member->points, due, MemberPoints::settings(books()).pointValue));
    }
    if (ui::dialogs().exec(&dialog) != QDialog::Accepted)
        return;
    TillSale::Sale sale{m_lines, dialog.payments(), m_shift, cashier(), {}, m_member ? m_member->cardNo : QString()};
    sale.saveId = m_attempt.identityFor(sale);
    QString billNo;
    try {
        billNo = TillSale::sell(books(), sale);
    } catch (const BillRules::Refused& e) {
        ui::warn(e.refusal().message, this);
        return;
    } catch (const db::Error& e) {
        ui::warn(QStringLiteral("本单没有保存：%1").arg(e.message()), this);
        return;
    }
    m_attempt.succeeded();
    m_lastReceipt = billNo;
    m_lines.clear();
    m_member.reset();
    refresh();
    tell(QStringLiteral("已收款 %1，找零 %2").arg(DataHelpers::amountText(due), DataHelpers::amountText(dialog.change())));
    shop::Receipt receipt = TillSale::receipt(books(), billNo);
    receipt.change = dialog.change();
    print(receipt);
    backToScanning();
}

void TFrmTill::backToScanning()
{
    activateWindow();
    m_scan->box()->setFocus();
}

void TFrmTill::print(const shop::Receipt& receipt)
{
    if (!receiptPrinter())
        return;
    // The sale is stored: only the paper is missing. The printer's answer says "小票没有打印" itself.
    if (const QString why = receiptPrinter()(receipt); !why.isEmpty())
        ui::warn(why + QStringLiteral("\n本单已经保存，可按 F9 重打小票。"), this);
}

void TFrmTill::reprint()
{
    bool ok = true;
    QString number = m_lastReceipt;
    // The last receipt, or any by its number typed in the scan box first.
    const QString typed = m_scan->box()->text().trimmed();
    if (!typed.isEmpty()) {
        number = typed;
        m_scan->box()->clear();
    }
    const shop::Receipt receipt = number.isEmpty() ? shop::Receipt() : TillSale::receipt(books(), number);
    ok = !receipt.number.isEmpty();
    if (!ok) {
        tell(number.isEmpty() ? QStringLiteral("还没有小票可以重打") : QStringLiteral("小票“%1”不存在").arg(number), true);
        return;
    }
    print(receipt);
    tell(QStringLiteral("已重打小票 %1").arg(number));
}

void TFrmTill::returnGoods()
{
    if (m_shift == 0 && !startShift())
        return;
    TillReturnDialog dialog(m_shift, this);
    if (ui::dialogs().exec(&dialog) != QDialog::Accepted)
        return;
    m_lastReceipt = dialog.storedNumber();
    tell(QStringLiteral("已退货，退款 %1").arg(DataHelpers::amountText(dialog.refund())));
    print(TillSale::receipt(books(), dialog.storedNumber()));
    backToScanning();
}

void TFrmTill::closeShift()
{
    if (m_shift == 0)
        return;
    const TillShift::Shift shift = TillShift::stored(books(), m_shift);
    const TillShift::Takings takings = TillShift::takings(books(), m_shift);
    QStringList summary{QStringLiteral("销售 %1 单，退货 %2 单").arg(takings.sales).arg(takings.returns)};
    for (const auto& [method, amount] : takings.byMethod)
        summary << QStringLiteral("%1：%2").arg(method, DataHelpers::amountText(amount));
    summary << QStringLiteral("应有现金 %1（备用金 %2 + 现金收入 %3 − 现金退款 %4）")
                   .arg(DataHelpers::amountText(TillShift::expectedCash(shift.openingFloat, takings)),
                        DataHelpers::amountText(shift.openingFloat), DataHelpers::amountText(takings.cashIn),
                        DataHelpers::amountText(takings.cashRefunded));
    summary << QStringLiteral("清点钱箱里的现金：");
    const auto counted = TillAmountDialog::ask(this, QStringLiteral("交班"), summary.join(QLatin1Char('\n')), 0);
    if (!counted)
        return;
    TillShift::Shift closed;
    try {
        closed = TillShift::close(books(), m_shift, *counted);
    } catch (const db::Error& e) {
        ui::warn(e.message(), this);
        return;
    }
    m_shift = 0;
    const QString difference = closed.difference == 0
                                   ? QStringLiteral("现金相符")
                                   : QStringLiteral("<span style='color:#c62828;font-weight:bold'>%1 %2</span>")
                                         .arg(closed.difference > 0 ? QStringLiteral("长款") : QStringLiteral("短款"),
                                              DataHelpers::amountText(qAbs(closed.difference)));
    ui::inform(QStringLiteral("<p>已交班。应有现金 %1，清点 %2。</p><p>%3</p>")
                   .arg(DataHelpers::amountText(closed.expected), DataHelpers::amountText(closed.counted), difference),
               this);
    // The shift is closed: a printer that fails costs only the paper.
    if (shiftPrinter()) {
        if (const QString why = shiftPrinter()(TillShift::report(books(), closed.id)); !why.isEmpty())
            ui::warn(why + QStringLiteral("\n已经交班，交班单没有打印。"), this);
    }
    refresh();
}
