#include "bills/TillPayDialog.h"

#include "core/DataHelpers.h"
#include "shop/Amounts.h"
#include "shop/MemberPoints.h"
#include "ui/WindowParts.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

TillPayDialog::TillPayDialog(double due, const QStringList& methods, QWidget* parent)
    : QDialog(parent), m_due(due), m_names(methods), m_amounts(methods.size(), 0.0)
{
    setWindowTitle(QStringLiteral("收款"));
    m_methods = WindowParts::named<QListWidget>("methodList", this);
    m_methods->addItems(methods);
    m_methods->setCurrentRow(0);
    m_methods->setFocusPolicy(Qt::NoFocus);
    m_box = WindowParts::named<QLineEdit>("amountBox", this);
    m_dueLabel = WindowParts::named<QLabel>("dueLabel", this);
    m_restLabel = WindowParts::named<QLabel>("restLabel", this);
    m_changeLabel = WindowParts::named<QLabel>("changeLabel", this);
    m_reason = WindowParts::named<QLabel>("reasonLabel", this);
    m_reason->setStyleSheet(QStringLiteral("color:#c62828"));
    QFont large = font();
    large.setPointSize(large.pointSize() * 2);
    large.setBold(true);
    for (QWidget* w : std::initializer_list<QWidget*>{m_dueLabel, m_restLabel, m_changeLabel, m_box})
        w->setFont(large);
    auto* figures = new QGridLayout;
    figures->addWidget(new QLabel(QStringLiteral("应收"), this), 0, 0);
    figures->addWidget(m_dueLabel, 0, 1);
    figures->addWidget(new QLabel(QStringLiteral("还差"), this), 1, 0);
    figures->addWidget(m_restLabel, 1, 1);
    figures->addWidget(new QLabel(QStringLiteral("找零"), this), 2, 0);
    figures->addWidget(m_changeLabel, 2, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(figures);
    column->addWidget(WindowParts::caption(QStringLiteral("结算方式（↑↓选择）"), m_methods, this));
    column->addWidget(m_methods);
    column->addWidget(WindowParts::caption(QStringLiteral("收款金额"), m_box, this));
    column->addWidget(m_box);
    column->addWidget(m_reason);
    column->addWidget(new QLabel(QStringLiteral("Enter 收款（空着按 Enter：余额全用所选方式）　Del 清除所选方式　Esc 返回"), this));
    m_box->installEventFilter(this);
    m_box->setFocus();
    refresh();
}

void TillPayDialog::allowPoints(double most)
{
    m_mostByPoints = qMax(0.0, most);
    if (m_mostByPoints == 0 || m_names.contains(MemberPoints::pointsMethod))
        return;
    m_names << MemberPoints::pointsMethod;
    m_amounts << 0.0;
    m_methods->addItem(MemberPoints::pointsMethod);
    refresh();
}

double TillPayDialog::tendered() const
{
    double sum = 0;
    for (double amount : m_amounts)
        sum += amount;
    return shop::amounts::cents(sum);
}

double TillPayDialog::rest() const
{
    return qMax(0.0, shop::amounts::cents(m_due - tendered()));
}

double TillPayDialog::change() const
{
    return qMax(0.0, shop::amounts::cents(tendered() - m_due));
}

QList<TillSale::Payment> TillPayDialog::payments() const
{
    QList<TillSale::Payment> result;
    double change = this->change();
    for (int i = 0; i < m_amounts.size(); ++i) {
        double amount = m_amounts.at(i);
        if (m_names.at(i) == TillSale::cash) {
            amount = shop::amounts::cents(amount - change);
            change = 0;
        }
        if (amount > 0)
            result.append({m_names.at(i), amount});
    }
    return result;
}

void TillPayDialog::refresh()
{
    for (int i = 0; i < m_amounts.size(); ++i) {
        QString text = m_names.at(i);
        if (m_names.at(i) == MemberPoints::pointsMethod)
            text += QStringLiteral("（可抵 %1）").arg(DataHelpers::amountText(m_mostByPoints));
        if (m_amounts.at(i) > 0)
            text += QStringLiteral(" ") + DataHelpers::amountText(m_amounts.at(i));
        m_methods->item(i)->setText(text);
    }
    m_dueLabel->setText(DataHelpers::amountText(m_due));
    m_restLabel->setText(DataHelpers::amountText(rest()));
    m_changeLabel->setText(DataHelpers::amountText(change()));
}

void TillPayDialog::take()
{
    const int row = m_methods->currentRow();
    const QString typed = m_box->text().trimmed();
    m_reason->clear();
    double amount = rest();
    if (!typed.isEmpty()) {
        bool ok = false;
        amount = typed.toDouble(&ok);
        if (!ok || amount <= 0 || !shop::amounts::fits(amount)) {
            m_reason->setText(QStringLiteral("“%1”不是可用的金额").arg(typed));
            m_box->selectAll();
            return;
        }
    }
    const QString name = m_names.at(row);
    // Only cash gives change: another method pays at most what is left.
    if (name != TillSale::cash && amount > rest()) {
        m_reason->setText(QStringLiteral("%1收款%2超过还差的%3").arg(name, DataHelpers::amountText(amount),
                                                                  DataHelpers::amountText(rest())));
        m_box->selectAll();
        return;
    }
    if (name == MemberPoints::pointsMethod) {
        // Enter on an empty box spends as many points as may be spent.
        if (typed.isEmpty())
            amount = qMin(amount, shop::amounts::cents(m_mostByPoints - m_amounts.at(row)));
        if (shop::amounts::cents(m_amounts.at(row) + amount) > m_mostByPoints) {
            m_reason->setText(QStringLiteral("积分最多抵现%1").arg(DataHelpers::amountText(m_mostByPoints)));
            m_box->selectAll();
            return;
        }
    }
    m_amounts[row] = shop::amounts::cents(m_amounts.at(row) + amount);
    m_box->clear();
    refresh();
    if (rest() == 0 && tendered() > 0)
        accept();
}

bool TillPayDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            take();
            return true;
        case Qt::Key_Up:
            m_methods->setCurrentRow(qMax(0, m_methods->currentRow() - 1));
            return true;
        case Qt::Key_Down:
            m_methods->setCurrentRow(qMin(m_methods->count() - 1, m_methods->currentRow() + 1));
            return true;
        case Qt::Key_Delete:
            if (m_box->text().isEmpty()) {
                m_amounts[m_methods->currentRow()] = 0;
                refresh();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
