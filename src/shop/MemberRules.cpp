#include "shop/MemberRules.h"

#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "db/Statement.h"

namespace MemberRules {

QString maskedPhone(const QString& phone)
{
    const QString text = phone.trimmed();
    if (text.isEmpty())
        return text;
    // Whatever its length, at least four characters stay hidden.
    const int hidden = qMax(4, int(text.size()) - 7);
    const int kept = qMax(0, int(text.size()) - hidden);
    const int head = qMin(3, kept / 2 + kept % 2);
    const int tail = kept - head;
    return text.left(head) + QString(4, QLatin1Char('*')) + text.right(tail);
}

QString shownPhone(const QString& phone)
{
    return hasRight(Right::Use, Function::Members) ? phone : maskedPhone(phone);
}

QString mobileOwner(db::Connection& connection, const QString& mobile, const QString& ownCard)
{
    const QString text = mobile.trimmed();
    if (text.isEmpty())
        return {};
    db::Statement owner(connection, QStringLiteral("select card_no from member where trim(mobile)=:mobile "
                                                   "and lower(trim(card_no))<>lower(:card) order by card_no"));
    owner.bind(QStringLiteral("mobile"), text).bind(QStringLiteral("card"), ownCard.trimmed());
    return owner.next() ? owner.textValue(0).trimmed() : QString();
}

QString mobileTakenReason(const QString& ownerCard)
{
    return QStringLiteral("已是会员卡“%1”的手机号").arg(ownerCard);
}

bool levelKnown(db::Connection& connection, const QString& level)
{
    db::Statement known(connection,
                        QStringLiteral("select count(*) from memblevel where lower(trim(level_name))=lower(:level)"));
    known.bind(QStringLiteral("level"), level.trimmed());
    return known.next() && known.intValue(0) > 0;
}

QString unknownLevelReason()
{
    return QStringLiteral("不是已设置的会员等级（基本设置 → 会员等级）");
}

QStringList find(db::Connection& connection, const QString& text)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return {};
    db::Statement search(connection,
                         QStringLiteral("select card_no from ("
                                        "select card_no, case when lower(trim(card_no))=lower(:typed) then 0"
                                        " when lower(mobile) like :part escape '\\' then 1 else 2 end as rank"
                                        " from member where lower(trim(card_no))=lower(:typed)"
                                        " or lower(mobile) like :part escape '\\'"
                                        " or lower(memb_name) like :part escape '\\') m order by rank, card_no"));
    search.bind(QStringLiteral("typed"), typed).bind(QStringLiteral("part"), DataHelpers::containingPattern(typed));
    QStringList cards;
    while (search.next())
        cards.append(search.textValue(0));
    return cards;
}

} // namespace MemberRules
