#pragma once

#include <QString>
#include <QStringList>

namespace db {
class Connection;
}

// The rules of member cards that need the database (the field rules of a row
// are in MasterDataRules), and how a member's phone is shown. Window-free.
namespace MemberRules {

// "138****1234": the first three and the last four digits kept, as much as a
// shorter number allows.
QString maskedPhone(const QString& phone);
// The phone as the current user may see it: whole with the members right, masked without.
QString shownPhone(const QString& phone);

// The card of another member that holds the mobile; empty when none does.
QString mobileOwner(db::Connection& connection, const QString& mobile, const QString& ownCard);
// "已是会员卡“M001”的手机号"
QString mobileTakenReason(const QString& ownerCard);
bool levelKnown(db::Connection& connection, const QString& level);
QString unknownLevelReason();

// The cards a search finds: the whole card number, then phones holding the
// text, then names holding it; in card order within each.
QStringList find(db::Connection& connection, const QString& text);

} // namespace MemberRules
