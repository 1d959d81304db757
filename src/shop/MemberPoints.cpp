#include "shop/MemberPoints.h"

#include "core/DataHelpers.h"
#include "db/Statement.h"
#include "shop/Amounts.h"

#include <QRegularExpression>

#include <cmath>

namespace MemberPoints {

namespace {

// A tiny margin so that 12.34 × 100 counts as 1234 whole points.
constexpr double slack = 1e-6;

const QString memberColumns = QStringLiteral("select m.card_no,m.memb_name,m.mobile,m.level_name,l.discount,l.point_rate,m.points "
                                             "from member m left join memblevel l on l.level_name=m.level_name ");

Member memberOf(const db::Statement& row)
{
    Member member{row.textValue(0), row.textValue(1), row.textValue(2), row.textValue(3), 100, 0, row.intValue(6)};
    if (!row.isNull(4))
        member.discount = row.doubleValue(4);
    member.pointRate = row.doubleValue(5);
    return member;
}

} // namespace

Settings settings(db::Connection& connection)
{
    Settings result;
    db::Statement query(connection, QStringLiteral("select point_value,disc_on_disc from userinfo order by rowid limit 1"));
    if (query.next()) {
        if (!query.isNull(0) && query.doubleValue(0) > 0)
            result.pointValue = query.doubleValue(0);
        result.discountOnDiscount = query.doubleValue(1) != 0;
    }
    return result;
}

std::optional<Member> byCard(db::Connection& connection, const QString& cardNo)
{
    db::Statement query(connection, memberColumns + QStringLiteral("where m.card_no=:card"));
    query.bind(QStringLiteral("card"), cardNo.trimmed());
    if (!query.next())
        return std::nullopt;
    return memberOf(query);
}

QList<Member> find(db::Connection& connection, const QString& typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {};
    if (const auto member = byCard(connection, text))
        return {*member};
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(text).hasMatch())
        return {};
    db::Statement query(connection, memberColumns + QStringLiteral("where m.mobile like :part order by m.card_no"));
    query.bind(QStringLiteral("part"), QLatin1Char('%') + text + QLatin1Char('%'));
    QList<Member> members;
    while (query.next())
        members.append(memberOf(query));
    return members;
}

qint64 earned(double amountPaid, double pointRate)
{
    if (amountPaid <= 0 || pointRate <= 0)
        return 0;
    return qint64(std::floor(shop::amounts::cents(amountPaid) * pointRate + slack));
}

qint64 takenBack(qint64 earnedOnSale, double saleAmount, double returnedBefore, double returnedNow)
{
    if (earnedOnSale == 0 || saleAmount <= 0)
        return 0;
    const auto share = [&](double returned) {
        if (returned >= saleAmount - 0.005)
            return earnedOnSale;
        return qint64(std::llround(double(earnedOnSale) * returned / saleAmount));
    };
    return share(returnedBefore + returnedNow) - share(returnedBefore);
}

double moneyFor(qint64 points, double pointValue)
{
    if (points <= 0 || pointValue <= 0)
        return 0;
    return std::floor(double(points) * 100.0 / pointValue + slack) / 100.0;
}

qint64 pointsFor(double money, double pointValue)
{
    if (money <= 0)
        return 0;
    return qint64(std::ceil(shop::amounts::cents(money) * pointValue - slack));
}

double mostRedeemable(qint64 points, double due, double pointValue)
{
    return qMax(0.0, qMin(shop::amounts::cents(due), moneyFor(points, pointValue)));
}

QString redemptionRefusal(const Member& member, double money, double due, double pointValue)
{
    if (money <= 0 || !shop::amounts::fits(money))
        return QStringLiteral("积分抵现“%1”不合适").arg(DataHelpers::amountText(money));
    if (shop::amounts::cents(money) > shop::amounts::cents(due))
        return QStringLiteral("积分抵现%1超过应收%2").arg(DataHelpers::amountText(money), DataHelpers::amountText(due));
    const qint64 needed = pointsFor(money, pointValue);
    if (needed > member.points)
        return QStringLiteral("积分抵现%1需要%2积分，会员%3只有%4积分")
            .arg(DataHelpers::amountText(money))
            .arg(needed)
            .arg(member.name.isEmpty() ? member.cardNo : member.name)
            .arg(member.points);
    return {};
}

void record(db::Connection& connection, const QString& cardNo, const QString& billNo, const QDateTime& when,
            const QString& kind, qint64 points)
{
    if (points == 0)
        return;
    db::Statement row(connection, QStringLiteral("insert into membpoint (card_no,point_date,bill_no,kind,points) "
                                                 "values (:card,:when,:no,:kind,:points)"));
    row.bind(QStringLiteral("card"), cardNo)
        .bind(QStringLiteral("when"), when)
        .bind(QStringLiteral("no"), billNo)
        .bind(QStringLiteral("kind"), kind)
        .bind(QStringLiteral("points"), points);
    row.execute();
    db::Statement balance(connection, QStringLiteral("update member set points=coalesce(points,0)+:points where card_no=:card"));
    balance.bind(QStringLiteral("points"), points).bind(QStringLiteral("card"), cardNo);
    balance.execute();
}

void forget(db::Connection& connection, const QString& billNo, const QStringList& kinds)
{
    QStringList marks;
    for (int i = 0; i < kinds.size(); ++i)
        marks << QStringLiteral(":kind%1").arg(i);
    const QString which = QStringLiteral("bill_no=:no and kind in (%1)").arg(marks.join(QLatin1Char(',')));
    const auto bound = [&](db::Statement& statement) {
        statement.bind(QStringLiteral("no"), billNo);
        for (int i = 0; i < kinds.size(); ++i)
            statement.bind(marks.at(i).mid(1), kinds.at(i));
    };
    db::Statement rows(connection,
                       QStringLiteral("select card_no,sum(points) from membpoint where %1 group by card_no order by card_no").arg(which));
    bound(rows);
    QList<std::pair<QString, qint64>> changes;
    while (rows.next())
        changes.append({rows.textValue(0), rows.intValue(1)});
    for (const auto& [card, points] : changes) {
        db::Statement balance(connection, QStringLiteral("update member set points=coalesce(points,0)-:points where card_no=:card"));
        balance.bind(QStringLiteral("points"), points).bind(QStringLiteral("card"), card);
        balance.execute();
    }
    db::Statement clear(connection, QStringLiteral("delete from membpoint where %1").arg(which));
    bound(clear);
    clear.execute();
}

void settleSale(db::Connection& connection, const QString& cardNo, const QString& billNo, const QDateTime& when,
                double amountPaid, double moneyFromPoints)
{
    forget(connection, billNo, saleKinds);
    if (cardNo.isEmpty())
        return;
    const auto member = byCard(connection, cardNo);
    if (!member)
        return;
    const Settings rules = settings(connection);
    record(connection, cardNo, billNo, when, spentKind, -pointsFor(moneyFromPoints, rules.pointValue));
    record(connection, cardNo, billNo, when, earnedKind, earned(amountPaid, member->pointRate));
}

void settleSaleBill(db::Connection& connection, const QString& cardNo, const QString& billNo, const QDateTime& when,
                    double amount)
{
    db::Statement spent(connection, QStringLiteral("select coalesce(sum(points),0) from membpoint where bill_no=:no and kind=:kind"));
    spent.bind(QStringLiteral("no"), billNo).bind(QStringLiteral("kind"), spentKind);
    const qint64 spentPoints = spent.next() ? -spent.intValue(0) : 0;
    forget(connection, billNo, {earnedKind});
    if (const auto member = cardNo.isEmpty() ? std::nullopt : byCard(connection, cardNo)) {
        const double byPoints = moneyFor(spentPoints, settings(connection).pointValue);
        record(connection, member->cardNo, billNo, when, earnedKind, earned(amount - byPoints, member->pointRate));
    }
}

void settleReturnBill(db::Connection& connection, const QString& cardNo, const QString& billNo, const QDateTime& when,
                      double amount)
{
    forget(connection, billNo, {takenBackKind});
    if (const auto member = cardNo.isEmpty() ? std::nullopt : byCard(connection, cardNo))
        record(connection, member->cardNo, billNo, when, takenBackKind, -earned(amount, member->pointRate));
}

} // namespace MemberPoints
