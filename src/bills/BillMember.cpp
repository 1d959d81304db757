#include "bills/BillMember.h"

#include "db/Dataset.h"
#include "shop/MemberPoints.h"
#include "ui/EnterWalk.h"
#include "ui/MemberChoiceDialog.h"
#include "ui/WindowParts.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QString cardColumn = QStringLiteral("card_no");

} // namespace

BillMember::BillMember(db::Dataset* header, QWidget* parent)
    : QObject(parent), m_header(header)
{
    m_box = WindowParts::named<QLineEdit>("memberBox", parent);
    m_box->setPlaceholderText(QStringLiteral("刷卡或手机号"));
    m_box->setToolTip(QStringLiteral("扫描会员卡或输入手机号（全部或一部分），按 Enter"));
    // Its Enter finds the member; a scanned card is the box's own, not a goods code.
    ui::setWalksEnter(m_box);
    m_box->setProperty("takesScans", true);
    m_box->installEventFilter(this);
    m_label = WindowParts::named<QLabel>("memberLabel", parent);
}

QString BillMember::cardNo() const
{
    return m_header->isOpen() && m_header->currentRow() >= 0 ? m_header->text(cardColumn).trimmed() : QString();
}

void BillMember::show(const QString& text)
{
    m_label->setText(text);
}

void BillMember::showHeader()
{
    const QString card = cardNo();
    m_box->setText(card);
    if (card.isEmpty()) {
        show({});
        return;
    }
    const auto member = MemberPoints::byCard(m_header->connection(), card);
    show(member ? MemberChoiceDialog::describe(*member) : QStringLiteral("（会员卡已删除）"));
}

LinePricing::Priced BillMember::price(const QString& goodsCode, const QDate& day) const
{
    return LinePricing::price(m_header->connection(), goodsCode, day, cardNo());
}

bool BillMember::take()
{
    const QString typed = m_box->text().trimmed();
    const QString before = cardNo();
    if (typed.isEmpty()) {
        m_header->setValue(cardColumn, QVariant());
        show({});
        if (!before.isEmpty())
            emit changed(before);
        return true;
    }
    if (typed == before)
        return true;
    QString why;
    const auto member = MemberChoiceDialog::find(m_box->window(), m_header->connection(), typed, why);
    if (!member) {
        if (!why.isEmpty())
            WindowParts::refuse(m_box, why);
        else
            WindowParts::focusBox(m_box);
        return false;
    }
    m_header->setValue(cardColumn, member->cardNo);
    m_box->setText(member->cardNo);
    show(MemberChoiceDialog::describe(*member));
    if (member->cardNo != before)
        emit changed(before);
    return true;
}

bool BillMember::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box && event->type() == QEvent::KeyPress && ui::isEnterKey(static_cast<QKeyEvent*>(event))) {
        if (take())
            emit taken();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
