#pragma once

#include "shop/StatisticsQuery.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace db {
class Connection;
}

// What members bought and what markdowns did: a member's page, the ranking of
// members by what they spent, and each markdown's effect. A member's sale is
// a sale bill carrying the card; a customer return carrying it counts against
// it. Amounts are the lines' less what the bill took off its total.
// Window-free; a failure throws db::Error.
namespace MemberAnalysis {

using statistics::DateRange;

// One bill line of a member's sale or return.
struct Purchase {
    QDate date;
    QString billNo;
    bool isReturn = false;
    QString goodsCode;
    QString goodsName;
    QString color;
    QString size;
    double quantity = 0;
    double unitPrice = 0;
    double amount() const { return quantity * unitPrice; }
};

// A change of the member's points and the balance after it.
struct PointChange {
    QDate date;
    QString billNo;
    QString kind;
    qint64 points = 0;
    qint64 balance = 0;
};

struct MemberPage {
    QString cardNo;
    QString name;
    QString phone;         // as the current user may see it
    QString level;
    qint64 points = 0;     // as stored on the card
    QList<Purchase> purchases;   // newest first
    double spentThisYear = 0;    // sales less returns in today's year
    QDate lastVisit;             // null: never bought
    QList<PointChange> pointChanges;   // oldest first
};
MemberPage memberPage(db::Connection& connection, const QString& cardNo, const QDate& today);

struct RankRow {
    QString cardNo;
    QString name;
    QString phone;         // as the current user may see it
    QString level;
    double amount = 0;
    int bills = 0;         // sale bills
    double pieces = 0;     // sold less returned
    QDate lastVisit;       // the last bill in the range
    QStringList favouriteSizes;   // the sizes most kept, at most two
};
// Every card with a sale or return in the range, highest amount first.
QList<RankRow> ranking(db::Connection& connection, const DateRange& dates);

// The home page's members: birthdays in today's week (Monday to Sunday) and
// members not seen for `idleDays` days (no bill since, or none since they joined).
inline constexpr int idleDays = 90;
struct Reminder {
    QString cardNo;
    QString name;
    QDate date;    // the birthday this week, or the last visit (the day joined when never seen)
};
struct Reminders {
    QList<Reminder> birthdays;   // in the order of the week
    QList<Reminder> idle;        // longest unseen first
};
Reminders reminders(db::Connection& connection, const QDate& today);

struct EffectFigures {
    double pieces = 0;     // sold less returned
    double amount = 0;
    double discount = 0;   // Σ (list price − unit price) × quantity
    double cost = 0;       // the pieces at the goods' moving-average cost
    double margin() const { return amount - cost; }
};

struct EffectRow {
    QString name;
    QDate start;
    QDate end;
    QString scope;
    QString scopeValue;
    int weeks = 0;           // of the rule's run up to today, begun weeks whole
    EffectFigures during;    // the lines the rule priced, over its run
    EffectFigures before;    // the goods it covers, over as many weeks before its start
};
// Every markdown whose dates meet the range, latest start first.
QList<EffectRow> markdownEffects(db::Connection& connection, const DateRange& dates, const QDate& today);

} // namespace MemberAnalysis
