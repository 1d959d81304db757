#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace db {
class Connection;
}

// A member at a sale: found by card or phone, the level's discount and points
// rate, the points a sale earns and a return takes back, points spent as money.
// Every change of points is a `membpoint` row and the same change of
// `member.points`, written in the transaction of the bill. Window-free.
namespace MemberPoints {

struct Member {
    QString cardNo;
    QString name;
    QString mobile;
    QString level;
    double discount = 100;    // the level's, in percent of the price
    double pointRate = 0;     // points a yuan paid
    qint64 points = 0;
    bool operator==(const Member&) const = default;
};

// 基本设置's member settings.
struct Settings {
    double pointValue = 100;          // points worth one yuan when spent
    bool discountOnDiscount = false;  // a level's discount on top of a markdown
};
Settings settings(db::Connection& connection);

// The member with exactly this card number.
std::optional<Member> byCard(db::Connection& connection, const QString& cardNo);
// The members a typed card or phone names: the card exactly, else every member
// whose mobile number holds the digits typed (the whole number or any part), by card.
QList<Member> find(db::Connection& connection, const QString& typed);

// The payment method of points spent as money.
inline const QString pointsMethod = QStringLiteral("积分");
// What a `membpoint` row records.
inline const QString earnedKind = QStringLiteral("消费");
inline const QString takenBackKind = QStringLiteral("退货");
inline const QString spentKind = QStringLiteral("抵现");
inline const QString refundedKind = QStringLiteral("退还");

// Whole points earned on an amount paid: rounded down.
qint64 earned(double amountPaid, double pointRate);
// The points a return takes back of the `earnedOnSale` points of a sale worth
// `saleAmount`, when goods worth `returnedBefore` came back already and
// `returnedNow` come back now: in proportion, so all the returns of a whole
// sale together take back exactly what it earned.
qint64 takenBack(qint64 earnedOnSale, double saleAmount, double returnedBefore, double returnedNow);

// What points are worth as money, down to the cent.
double moneyFor(qint64 points, double pointValue);
// The points that pay an amount of money: rounded up to a whole point.
qint64 pointsFor(double money, double pointValue);
// The most a member's points may pay of `due`.
double mostRedeemable(qint64 points, double due, double pointValue);
// Why `money` may not be paid with the member's points; empty when it may.
QString redemptionRefusal(const Member& member, double money, double due, double pointValue);

// Adds a signed change of points to the member and its row; inside the caller's transaction.
void record(db::Connection& connection, const QString& cardNo, const QString& billNo, const QDateTime& when,
            const QString& kind, qint64 points);

// The points a sale earns and spends, written inside the save's transaction:
// the rows an earlier save of the same bill wrote are taken back first, so an
// edited bill counts once.
void settleSale(db::Connection& connection, const QString& cardNo, const QString& billNo, const QDateTime& when,
                double amountPaid, double moneyFromPoints);

// The points every stored bill of a member moves, whichever window saved it: a
// sale earns on its amount less what points paid of it, a customer return takes
// back what its amount earns. An earlier save's rows of that kind are replaced;
// points spent or refunded stay as they were written.
void settleSaleBill(db::Connection& connection, const QString& cardNo, const QString& billNo, const QDateTime& when,
                    double amount);
void settleReturnBill(db::Connection& connection, const QString& cardNo, const QString& billNo, const QDateTime& when,
                      double amount);

// Takes back the changes of these kinds a bill made (the bill is deleted or re-saved).
void forget(db::Connection& connection, const QString& billNo, const QStringList& kinds);
inline const QStringList saleKinds = {earnedKind, spentKind};
inline const QStringList returnKinds = {takenBackKind, refundedKind};

} // namespace MemberPoints
