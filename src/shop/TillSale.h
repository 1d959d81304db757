#pragma once

#include "shop/Receipt.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace db {
class Connection;
}

// A sale at the till to a walk-in customer: its lines and prices, the rounding
// of the total, its payments, and storing it as a sale like any other (through
// BillStore::save, the payments in the same transaction). Window-free.
namespace TillSale {

// The customer of the till's sales and returns ("散客"), by code.
inline const QString walkInCompany = QStringLiteral("散客");
// Adds the walk-in customer to the companies when it is not there (the first
// till sale, or after someone deleted it); inside the caller's transaction.
void addWalkInCustomer(db::Connection& connection);

// Goods as the till shows them.
struct Goods {
    QString code;          // the goods' own code
    QString name;          // "短袖衬衫 白 XL": name, colour and size
    double retailPrice = 0;
};
// The goods a scanned or typed code names (a barcode first, then a code); nothing when none.
std::optional<Goods> goods(db::Connection& connection, const QString& scanned);

// The till's settings of 基本设置.
struct Settings {
    double discountLimit = 100;  // lowest price as a percentage of the retail price, without 改价
    double roundingUnit = 0;     // 抹零: 0 (off), 0.1 or 1 yuan
};
Settings settings(db::Connection& connection);
// Why a value typed into 基本设置 may not be the till's; empty when it may. The
// discount limit is blank (none) or 0 to 100; 抹零 is blank, 0, 0.1 or 1.
QString discountLimitRefusal(const QVariant& percent);
QString roundingUnitRefusal(const QVariant& unit);

struct Line {
    QString code;
    QString name;
    double quantity = 0;
    double retailPrice = 0;
    double price = 0;      // charged per piece, after the line's discount
    QString rule;          // the markdown that priced the line; empty when none did
    bool byHand = false;   // priced by the cashier: a member's level leaves it alone
    bool operator==(const Line&) const = default;
};

struct Payment {
    QString method;        // one of 结算方式
    double amount = 0;     // what it paid on the bill (cash: tendered less change)
    bool operator==(const Payment&) const = default;
};

// Σ quantity × price, to the cent.
double total(const QList<Line>& lines);
// What 抹零 takes off a total: down to a whole multiple of `unit` (0: nothing).
double rounding(double total, double unit);
// What the customer pays for these lines under the settings.
double due(const QList<Line>& lines, const Settings& settings);

// The line's price at `percent` of its retail price, to the cent.
double discounted(double retailPrice, double percent);
// Why the price of a line (row 0-based) may not be charged: below the discount
// limit (or the rules' price `rulePrice`, when lower) for a user without 改价,
// or not a price at all; empty when it may.
QString priceRefusal(const Settings& settings, int row, const Line& line, bool mayChangePrice, double rulePrice = 0);
// Whether the logged-in user may charge below the limit.
bool mayChangePrice();

// The payment method that gives change and opens the drawer.
inline const QString cash = QStringLiteral("现金");
// The payment methods of 结算方式, in their order; 现金, 微信, 支付宝 and 银行卡
// while 结算方式 is empty.
QStringList methods(db::Connection& connection);

struct Sale {
    QList<Line> lines;
    QList<Payment> payments;
    qint64 shiftId = 0;     // the cashier's open shift
    QString cashier;        // user id
    QString saveId;         // SaveIdentity of this attempt
    QString cardNo;         // the member's card; empty for a walk-in customer
    bool operator==(const Sale&) const = default;
};

// Stores the sale: checks every line's price against the limit (unless the
// user may change prices), the payments against what is due (points spent as
// money within the member's points), the shift being open; then one sale bill to the walk-in customer, paid in full, and its
// payments and the member's points, in one transaction. Returns its number. Throws BillRules::Refused
// or db::Error; either way nothing is stored. A retry with the same saveId
// returns the number stored the first time.
QString sell(db::Connection& connection, const Sale& sale);

// The bill's settlement method (fee_type): the one method, or "组合支付".
QString methodOfBill(const QList<Payment>& payments);
// Stores a bill's payments inside the caller's transaction; sign -1 stores refunds negative.
void writePayments(db::Connection& connection, const QString& billNo, const QList<Payment>& payments, int sign);

// The shop's name, address and phone of 基本设置, as every slip of the till heads them.
shop::Receipt heading(db::Connection& connection);
// A stored till sale or return as its receipt prints it (change not kept: 0).
shop::Receipt receipt(db::Connection& connection, const QString& billNo);

// The payments of a stored till bill, in the order taken (a return's are negative).
QList<Payment> payments(db::Connection& connection, const QString& billNo);

} // namespace TillSale
