#include "bills/TillReturnDialog.h"

#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Error.h"
#include "shop/BillRules.h"
#include "ui/WindowParts.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Name, Sold, Returned, Price, Back, Columns };

} // namespace

TillReturnDialog::TillReturnDialog(qint64 shiftId, QWidget* parent)
    : QDialog(parent), m_shift(shiftId)
{
    setWindowTitle(QStringLiteral("退货"));
    resize(760, 420);
    m_receipt = WindowParts::named<QLineEdit>("receiptBox", this);
    m_grid = WindowParts::named<QTableWidget>("soldGrid", this);
    m_grid->setColumnCount(Columns);
    m_grid->setHorizontalHeaderLabels({"品名", "已售", "已退", "单价", "退货数量"});
    m_grid->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_first = WindowParts::named<QComboBox>("firstMethodBox", this);
    m_refundLabel = WindowParts::named<QLabel>("refundLabel", this);
    m_reason = WindowParts::named<QLabel>("reasonLabel", this);
    m_reason->setStyleSheet(QStringLiteral("color:#c62828"));
    QFont large = font();
    large.setPointSize(large.pointSize() * 2);
    m_refundLabel->setFont(large);
    auto* top = new QHBoxLayout;
    top->addWidget(WindowParts::caption(QStringLiteral("小票号（扫描条码）"), m_receipt, this));
    top->addWidget(m_receipt, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(WindowParts::caption(QStringLiteral("先退到"), m_first, this));
    bottom->addWidget(m_first);
    bottom->addStretch();
    bottom->addWidget(m_refundLabel);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(m_grid, 1);
    column->addLayout(bottom);
    column->addWidget(m_reason);
    column->addWidget(new QLabel(QStringLiteral("Enter 查小票　在“退货数量”里输入件数　F12 退款保存　Esc 取消"), this));
    m_receipt->installEventFilter(this);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableWidget::cellChanged, this, [this] { showRefund(); });
    connect(m_first, &QComboBox::currentIndexChanged, this, [this] { showRefund(); });
    auto* saveKey = new QShortcut(QKeySequence(Qt::Key_F12), this);
    connect(saveKey, &QShortcut::activated, this, [this] { save(); });
    m_receipt->setFocus();
}

bool TillReturnDialog::load()
{
    m_reason->clear();
    try {
        m_sold = TillReturn::sold(dataModule().AdoConn, m_receipt->text());
    } catch (const BillRules::Refused& e) {
        m_reason->setText(e.refusal().message);
        m_receipt->selectAll();
        return false;
    }
    const QSignalBlocker quiet(m_grid);
    m_grid->setRowCount(int(m_sold.lines.size()));
    for (int row = 0; row < m_sold.lines.size(); ++row) {
        const TillReturn::SoldLine& line = m_sold.lines.at(row);
        const QStringList cells = {line.name.isEmpty() ? line.code : line.name, DataHelpers::amountText(line.quantity),
                                   DataHelpers::amountText(line.returned), DataHelpers::amountText(line.price), QString()};
        for (int c = 0; c < Columns; ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            if (c != Back)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            m_grid->setItem(row, c, item);
        }
    }
    m_first->clear();
    // Cash first unless the cashier picks another of the sale's methods.
    QStringList methods;
    for (const TillSale::Payment& paid : m_sold.paid)
        methods << paid.method;
    if (methods.removeAll(TillSale::cash) > 0)
        methods.prepend(TillSale::cash);
    m_first->addItems(methods);
    showRefund();
    if (!m_sold.lines.isEmpty()) {
        m_grid->setFocus();
        m_grid->setCurrentCell(0, Back);
    }
    return true;
}

std::optional<QList<double>> TillReturnDialog::quantities(QString& why) const
{
    QList<double> result;
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        const QString typed = m_grid->item(row, Back) ? m_grid->item(row, Back)->text().trimmed() : QString();
        bool ok = true;
        const double quantity = typed.isEmpty() ? 0 : typed.toDouble(&ok);
        if (!ok || quantity < 0) {
            why = QStringLiteral("第%1行：退货数量“%2”不是可用的数").arg(row + 1).arg(typed);
            return std::nullopt;
        }
        result << quantity;
    }
    return result;
}

void TillReturnDialog::showRefund()
{
    QString why;
    const auto typed = quantities(why);
    m_refund = typed ? TillReturn::refundDue(m_sold, *typed) : 0;
    m_refundLabel->setText(QStringLiteral("应退 %1").arg(DataHelpers::amountText(m_refund)));
    m_reason->setText(why);
}

bool TillReturnDialog::save()
{
    // An open cell editor gives its text to the grid as the focus leaves it.
    if (m_grid->isAncestorOf(QApplication::focusWidget()))
        m_grid->setFocus();
    QString why;
    const auto typed = quantities(why);
    if (!typed) {
        m_reason->setText(why);
        return false;
    }
    TillReturn::Return goodsBack{m_sold.saleNo,
                                 *typed,
                                 TillReturn::refundPlan(m_sold, TillReturn::refundDue(m_sold, *typed), m_first->currentText()),
                                 m_shift,
                                 CurrentRights::current().userId,
                                 {}};
    goodsBack.saveId = m_attempt.identityFor(goodsBack);
    try {
        m_stored = TillReturn::giveBack(dataModule().AdoConn, goodsBack);
    } catch (const BillRules::Refused& e) {
        m_reason->setText(e.refusal().message);
        return false;
    } catch (const db::Error& e) {
        m_reason->setText(QStringLiteral("退货没有保存：%1").arg(e.message()));
        return false;
    }
    m_attempt.succeeded();
    accept();
    return true;
}

bool TillReturnDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_receipt && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            load();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
