#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace db {
class Connection;
}

// A cashier's shift at the till: opened with a float (备用金) at the first
// sale, closed by 交班 with the cash counted; and the day's takings over all
// cashiers (日结). Window-free; refusals throw db::Error.
namespace TillShift {

struct Shift {
    qint64 id = 0;
    QString cashier;
    QDateTime opened;
    QDateTime closed;          // invalid while open
    double openingFloat = 0;
    double expected = 0;       // float + cash taken − cash refunded, at the close
    double counted = 0;
    double difference = 0;     // counted − expected: > 0 长款, < 0 短款
};

// The cashier's shift still open (at most one), if any.
std::optional<Shift> current(db::Connection& connection, const QString& cashier);
Shift stored(db::Connection& connection, qint64 id);

// Opens a shift for the cashier with the float; refuses a second open shift
// or a float that is not an amount.
qint64 open(db::Connection& connection, const QString& cashier, double openingFloat);

// Throws db::Error unless the shift exists and is open.
void requireOpen(db::Connection& connection, qint64 id);

// The takings of a shift or of a day's till bills.
struct Takings {
    QList<std::pair<QString, double>> byMethod;  // net of refunds, by method name
    double cashIn = 0;        // cash taken on sales
    double cashRefunded = 0;  // cash paid back on returns (≥ 0)
    int sales = 0;
    int returns = 0;
    double total() const;
};
Takings takings(db::Connection& connection, qint64 shiftId);
Takings dayTakings(db::Connection& connection, const QDate& day);

// float + cash in − cash refunded, to the cent.
double expectedCash(double openingFloat, const Takings& takings);

// Closes the shift with the counted cash: stores the expected cash and the
// difference, in one write transaction. Returns the closed shift.
Shift close(db::Connection& connection, qint64 id, double counted);

// The shifts opened on the day, closed or not, by opening time.
QList<Shift> shiftsOfDay(db::Connection& connection, const QDate& day);

// A shift as its 交班单 prints it: the shop, the shift and its takings.
struct Report {
    QString shopName;
    Shift shift;
    Takings takings;
};
Report report(db::Connection& connection, qint64 id);

inline const QString shiftClosedMessage = QStringLiteral("本班已经交班，请重新开班");

} // namespace TillShift
