#pragma once

#include "core/ShopServer.h"
#include "shop/Receivables.h"
#include "shop/MemberAnalysis.h"
#include "shop/TillShift.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <atomic>
#include <exception>

namespace db {
class Connection;
}

// The figures of the home page's cards, each read by one statement through the
// same rules as the window the card opens. Window-free; a failure throws db::Error.
namespace TodayFigures {

// The day's sales bills (not the returns to suppliers), as 出货统计 lists them.
struct Sales {
    int bills = 0;
    double quantity = 0;
    double amount = 0;
    double cost = 0;        // each quantity at the goods' moving-average cost
    double profit() const;  // amount - cost, in cents
};
Sales sales(db::Connection& connection, const QDate& day);

struct Goods {
    QString code;
    QString name;
    double quantity = 0;
};

// The goods the stock alarm lists: how many, and the first five by code.
struct Alarm {
    int count = 0;
    QList<Goods> first;
};
Alarm alarm(db::Connection& connection);

// What customers owe on the day, as 应收账龄 shows it, and the three largest debtors.
struct Debtors {
    double total = 0;
    QList<Receivables::AgeingRow> largest;
};
Debtors debtors(db::Connection& connection, const QDate& day);

// The five best-selling goods by quantity from the first of the day's month to the day.
QList<Goods> bestSellers(db::Connection& connection, const QDate& day);

// The sales amount of each of the `days` days up to `day`; a day without sales is 0.
QList<std::pair<QDate, double>> dailySales(db::Connection& connection, const QDate& day, int days);

// Every figure of the home page on one day; a part that could not be read keeps why.
enum class Part { Sales, Alarm, Debtors, BestSellers, Backup, Chart, OldStock, Takings, Members };
constexpr int chartDays = 30;
struct Page {
    Sales sales;
    Alarm alarm;
    Debtors debtors;
    QList<Goods> bestSellers;
    QDateTime lastBackup;                          // invalid: no automatic backup
    QList<std::pair<QDate, double>> daily;         // chartDays days up to the day
    double oldStock = 0;                           // value at cost of the stock over 180 days old
    TillShift::Takings takings;                    // the day's till takings by payment method
    MemberAnalysis::Reminders members;             // birthdays this week, members not seen lately
    QMap<Part, std::exception_ptr> failures;
};

// Reads the whole page through a connection of its own to the shop's database,
// so it can run on a thread of its own. Gives up between parts once `stopping`
// turns true (what it read then is incomplete). A database that cannot be opened
// fails every part.
Page readPage(const ShopServer::Place& place, const QDate& day, const std::atomic_bool& stopping);

} // namespace TodayFigures
