#pragma once

#include <QList>
#include <QString>

namespace db {
class Connection;
}

// The member levels of 基本设置 (name, discount, points a yuan) and the points'
// worth when spent: what may be stored and storing it. Window-free.
namespace MemberLevels {

struct Level {
    QString name;
    double discount = 100;   // percent of the price
    double pointRate = 1;    // points earned a yuan paid
    bool operator==(const Level&) const = default;
};

// The stored levels, by name.
QList<Level> all(db::Connection& connection);

struct Refusal {
    int row = -1;            // 0-based level; -1 when none
    QString message;
    bool isEmpty() const { return message.isEmpty(); }
};
// The first fault of the levels: a blank or repeated name, a discount outside
// 1 to 100, points a yuan below 0 or beyond 100; a level some member holds left out.
Refusal refusal(db::Connection& connection, const QList<Level>& levels);
// Why points cannot be worth one yuan at `pointValue`; empty when they can.
QString pointValueRefusal(double pointValue);

// Replaces the levels after refusal() passed (throws db::Error with its message otherwise).
void save(db::Connection& connection, const QList<Level>& levels);

} // namespace MemberLevels
