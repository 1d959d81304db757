#include "shop/MemberAnalysis.h"

#include "db/Statement.h"
#include "shop/BillStore.h"
#include "shop/MarkdownRules.h"
#include "shop/MemberRules.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace MemberAnalysis {

namespace {

using StockPosting::BillKind;

double cents(double value)
{
    return std::round(value * 100.0) / 100.0;
}

QDate dayOf(const db::Statement& statement, int column)
{
    return QDate::fromString(statement.textValue(column).left(10), QStringLiteral("yyyy-MM-dd"));
}

// A member's line with what its bill took off the total.
struct Line {
    QString card;
    Purchase purchase;
    double billDiscount = 0;
};

// The lines of sales and customer returns carrying a card, one card or every
// one, in the range (or ever); newest first.
QList<Line> memberLines(db::Connection& connection, const QString& card, const DateRange* dates)
{
    QString condition = QStringLiteral(" and a.card_no is not null and trim(a.card_no)<>''");
    if (!card.isEmpty())
        condition += QStringLiteral(" and lower(trim(a.card_no))=lower(:card)");
    if (dates)
        condition += QStringLiteral(" and a.bill_date>=:date1 and a.bill_date<:date2");
    const QString branch = QStringLiteral(
        "select a.card_no,a.bill_date,a.bill_no,%3 as is_return,coalesce(a.disc_tota,0) as disc,b.gods_code,"
        "g.gods_name,g.gods_color,g.gods_size,b.sub_amou,b.unit_pric,b.in_id"
        " from %1 a inner join %2 b on a.bill_no=b.bill_no left join goods g on g.gods_code=b.gods_code"
        " where a.bill_type=:%4");
    db::Statement read(connection,
                       branch.arg(QStringLiteral("outmain"), QStringLiteral("outgoods"), QStringLiteral("0"),
                                  QStringLiteral("sale"))
                           + condition + QStringLiteral(" union all ")
                           + branch.arg(QStringLiteral("inmain"), QStringLiteral("ingoods"), QStringLiteral("1"),
                                        QStringLiteral("customerreturn"))
                           + condition + QStringLiteral(" order by 2 desc, 3, 12"));
    read.bind(QStringLiteral("sale"), BillStore::info(BillKind::Sale).billType);
    read.bind(QStringLiteral("customerreturn"), BillStore::info(BillKind::CustomerReturn).billType);
    if (!card.isEmpty())
        read.bind(QStringLiteral("card"), card.trimmed());
    if (dates) {
        read.bind(QStringLiteral("date1"), dates->from);
        read.bind(QStringLiteral("date2"), dates->to.addDays(1));
    }
    QList<Line> lines;
    while (read.next()) {
        Line line;
        line.card = read.textValue(0).trimmed();
        line.billDiscount = read.doubleValue(4);
        Purchase& p = line.purchase;
        p.date = dayOf(read, 1);
        p.billNo = read.textValue(2);
        p.isReturn = read.intValue(3) != 0;
        p.goodsCode = read.textValue(5);
        p.goodsName = read.textValue(6);
        p.color = read.textValue(7);
        p.size = read.textValue(8);
        p.quantity = read.doubleValue(9);
        p.unitPrice = read.doubleValue(10);
        lines.append(line);
    }
    return lines;
}

// The lines' amount, sales less returns, each bill's discount taken off once.
double netAmount(const QList<const Line*>& lines)
{
    double amount = 0;
    QSet<QString> bills;
    for (const Line* line : lines) {
        const double sign = line->purchase.isReturn ? -1 : 1;
        amount += sign * line->purchase.amount();
        const QString bill = (line->purchase.isReturn ? QLatin1Char('r') : QLatin1Char('s')) + line->purchase.billNo;
        if (!bills.contains(bill)) {
            bills.insert(bill);
            amount -= sign * line->billDiscount;
        }
    }
    return cents(amount);
}

struct MemberInfo {
    QString card;
    QString name;
    QString mobile;
    QString level;
    qint64 points = 0;
};

QHash<QString, MemberInfo> members(db::Connection& connection, const QString& card = {})
{
    db::Statement read(connection, QStringLiteral("select card_no,memb_name,mobile,level_name,points from member")
                                       + (card.isEmpty() ? QString()
                                                         : QStringLiteral(" where lower(trim(card_no))=lower(:card)")));
    if (!card.isEmpty())
        read.bind(QStringLiteral("card"), card.trimmed());
    QHash<QString, MemberInfo> result;
    while (read.next()) {
        const QString key = read.textValue(0).trimmed();
        result.insert(key.toLower(), {key, read.textValue(1), read.textValue(2).trimmed(), read.textValue(3),
                                      read.intValue(4)});
    }
    return result;
}

} // namespace

MemberPage memberPage(db::Connection& connection, const QString& cardNo, const QDate& today)
{
    MemberPage page;
    const MemberInfo info = members(connection, cardNo).value(cardNo.trimmed().toLower());
    page.cardNo = info.card.isEmpty() ? cardNo.trimmed() : info.card;
    page.name = info.name;
    page.phone = MemberRules::shownPhone(info.mobile);
    page.level = info.level;
    page.points = info.points;
    const QList<Line> lines = memberLines(connection, cardNo, nullptr);
    QList<const Line*> thisYear;
    for (const Line& line : lines) {
        page.purchases.append(line.purchase);
        if (line.purchase.date.year() == today.year())
            thisYear.append(&line);
    }
    page.spentThisYear = netAmount(thisYear);
    if (!lines.isEmpty())
        page.lastVisit = lines.first().purchase.date;

    db::Statement points(connection, QStringLiteral("select point_date,bill_no,kind,points from membpoint "
                                                    "where lower(trim(card_no))=lower(:card) order by point_date, point_id"));
    points.bind(QStringLiteral("card"), cardNo.trimmed());
    qint64 balance = 0;
    while (points.next()) {
        balance += points.intValue(3);
        page.pointChanges.append({dayOf(points, 0), points.textValue(1), points.textValue(2), points.intValue(3), balance});
    }
    return page;
}

QList<RankRow> ranking(db::Connection& connection, const DateRange& dates)
{
    const QList<Line> lines = memberLines(connection, {}, &dates);
    QHash<QString, QList<const Line*>> byCard;
    QStringList order;
    for (const Line& line : lines) {
        const QString key = line.card.toLower();
        if (!byCard.contains(key))
            order.append(key);
        byCard[key].append(&line);
    }
    const QHash<QString, MemberInfo> known = members(connection);
    QList<RankRow> rows;
    for (const QString& key : std::as_const(order)) {
        const QList<const Line*>& own = byCard[key];
        const MemberInfo info = known.value(key);
        RankRow row;
        row.cardNo = info.card.isEmpty() ? own.first()->card : info.card;
        row.name = info.name;
        row.phone = MemberRules::shownPhone(info.mobile);
        row.level = info.level;
        row.amount = netAmount(own);
        row.lastVisit = own.first()->purchase.date;
        QSet<QString> bills;
        QHash<QString, double> sizes;
        for (const Line* line : own) {
            const double sign = line->purchase.isReturn ? -1 : 1;
            row.pieces += sign * line->purchase.quantity;
            if (!line->purchase.isReturn)
                bills.insert(line->purchase.billNo);
            if (!line->purchase.size.trimmed().isEmpty())
                sizes[line->purchase.size.trimmed()] += sign * line->purchase.quantity;
        }
        row.bills = int(bills.size());
        QList<std::pair<QString, double>> kept;
        for (auto it = sizes.constBegin(); it != sizes.constEnd(); ++it)
            if (it.value() > 0)
                kept.append({it.key(), it.value()});
        std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
            return a.second != b.second ? a.second > b.second : a.first < b.first;
        });
        for (int i = 0; i < kept.size() && i < 2; ++i)
            row.favouriteSizes.append(kept[i].first);
        rows.append(row);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const RankRow& a, const RankRow& b) {
        return a.amount != b.amount ? a.amount > b.amount : a.cardNo < b.cardNo;
    });
    return rows;
}

Reminders reminders(db::Connection& connection, const QDate& today)
{
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    const QString visits = QStringLiteral("select card_no, max(bill_date) as last_date from %1 where bill_type=:%2 "
                                          "and card_no is not null group by card_no");
    db::Statement read(connection,
                       QStringLiteral("select m.card_no,m.memb_name,m.birthday,m.join_date,max(v.last_date) from member m"
                                      " left join (")
                           + visits.arg(QStringLiteral("outmain"), QStringLiteral("sale")) + QStringLiteral(" union all ")
                           + visits.arg(QStringLiteral("inmain"), QStringLiteral("customerreturn"))
                           + QStringLiteral(") v on lower(trim(v.card_no))=lower(trim(m.card_no))"
                                            " group by m.card_no,m.memb_name,m.birthday,m.join_date order by m.card_no"));
    read.bind(QStringLiteral("sale"), BillStore::info(BillKind::Sale).billType);
    read.bind(QStringLiteral("customerreturn"), BillStore::info(BillKind::CustomerReturn).billType);
    Reminders result;
    while (read.next()) {
        const QString card = read.textValue(0).trimmed();
        const QString name = read.textValue(1);
        if (const QDate birthday = dayOf(read, 2); birthday.isValid()) {
            for (int d = 0; d < 7; ++d) {
                const QDate day = monday.addDays(d);
                // Born on 29 February: the 28th in a common year.
                const bool leapBaby = birthday.month() == 2 && birthday.day() == 29 && !QDate::isLeapYear(day.year());
                if (day.month() == birthday.month() && (day.day() == birthday.day() || (leapBaby && day.day() == 28)))
                    result.birthdays.append({card, name, day});
            }
        }
        const QDate lastVisit = dayOf(read, 4);
        const QDate seen = lastVisit.isValid() ? lastVisit : dayOf(read, 3);
        if (seen.isValid() && seen.daysTo(today) >= idleDays)
            result.idle.append({card, name, seen});
    }
    std::stable_sort(result.birthdays.begin(), result.birthdays.end(),
                     [](const Reminder& a, const Reminder& b) { return a.date < b.date; });
    std::stable_sort(result.idle.begin(), result.idle.end(),
                     [](const Reminder& a, const Reminder& b) { return a.date < b.date; });
    return result;
}

namespace {

// Sales less customer returns from `from` to `to` of the lines the condition
// (on b, the line, and g, its goods) takes.
EffectFigures effectFigures(db::Connection& connection, const QString& condition, const QString& value,
                            const QDate& from, const QDate& to)
{
    const QString branch = QStringLiteral(
        "select %3*b.sub_amou as pieces,%3*b.sub_amou*b.unit_pric as amount,"
        "%3*b.sub_amou*(coalesce(b.list_pric,b.unit_pric)-b.unit_pric) as discount,"
        "%3*b.sub_amou*coalesce(s.cost_pric,0) as cost"
        " from %1 a inner join %2 b on a.bill_no=b.bill_no left join goods g on g.gods_code=b.gods_code"
        " left join storemain s on s.gods_code=b.gods_code"
        " where a.bill_type=:%4 and a.bill_date>=:date1 and a.bill_date<:date2");
    db::Statement read(connection,
                       QStringLiteral("select sum(pieces),sum(amount),sum(discount),sum(cost) from (")
                           + branch.arg(QStringLiteral("outmain"), QStringLiteral("outgoods"), QStringLiteral("1"),
                                        QStringLiteral("sale"))
                           + condition + QStringLiteral(" union all ")
                           + branch.arg(QStringLiteral("inmain"), QStringLiteral("ingoods"), QStringLiteral("-1"),
                                        QStringLiteral("customerreturn"))
                           + condition + QStringLiteral(") m"));
    read.bind(QStringLiteral("sale"), BillStore::info(BillKind::Sale).billType);
    read.bind(QStringLiteral("customerreturn"), BillStore::info(BillKind::CustomerReturn).billType);
    read.bind(QStringLiteral("date1"), from);
    read.bind(QStringLiteral("date2"), to.addDays(1));
    if (read.hasParameter(QStringLiteral("value")))
        read.bind(QStringLiteral("value"), value);
    EffectFigures figures;
    if (read.next()) {
        figures.pieces = read.doubleValue(0);
        figures.amount = cents(read.doubleValue(1));
        figures.discount = cents(read.doubleValue(2));
        figures.cost = cents(read.doubleValue(3));
    }
    return figures;
}

} // namespace

QList<EffectRow> markdownEffects(db::Connection& connection, const DateRange& dates, const QDate& today)
{
    db::Statement rules(connection, QStringLiteral("select mark_name,start_date,end_date,scope,scope_value from markdown "
                                                   "where start_date<:date2 and end_date>=:date1 "
                                                   "order by start_date desc, mark_name"));
    rules.bind(QStringLiteral("date1"), dates.from);
    rules.bind(QStringLiteral("date2"), dates.to.addDays(1));
    QList<EffectRow> rows;
    while (rules.next()) {
        EffectRow row;
        row.name = rules.textValue(0).trimmed();
        row.start = dayOf(rules, 1);
        row.end = dayOf(rules, 2);
        row.scope = rules.textValue(3).trimmed();
        row.scopeValue = rules.textValue(4).trimmed();
        rows.append(row);
    }
    for (EffectRow& row : rows) {
        const QDate last = std::min(row.end, today);
        const qint64 days = std::max<qint64>(1, row.start.daysTo(last) + 1);
        row.weeks = int((days + 6) / 7);
        row.during = effectFigures(connection, QStringLiteral(" and b.mark_name=:value"), row.name, row.start, last);
        const QString column = MarkdownRules::scopeColumn(row.scope);
        const QString covered = column.isEmpty() ? QString() : QStringLiteral(" and g.%1=:value").arg(column);
        row.before = effectFigures(connection, covered, row.scopeValue, row.start.addDays(-7 * row.weeks),
                                   row.start.addDays(-1));
    }
    return rows;
}

} // namespace MemberAnalysis
