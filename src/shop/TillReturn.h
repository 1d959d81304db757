#pragma once

#include "shop/TillSale.h"

#include <QList>
#include <QString>

namespace db {
class Connection;
}

// Goods brought back to the till against their receipt: what the receipt sold
// and what came back already, the refund by the sale's own payment methods,
// and storing it as a customer return (顾客退货) linked to the receipt, the
// goods back in stock at their cost. Window-free.
namespace TillReturn {

// One goods of the receipt: its lines added up.
struct SoldLine {
    QString code;
    QString name;
    double quantity = 0;
    double price = 0;        // charged per piece
    double returned = 0;     // brought back by earlier returns
    double returnable() const { return quantity - returned; }
};

struct Sold {
    QString saleNo;
    QList<SoldLine> lines;
    QList<TillSale::Payment> paid;   // by method, net of earlier refunds
    QString cardNo;                  // the member the sale was made for
};

// The receipt's goods. Throws BillRules::Refused naming the number when it is
// not a till sale of this shop's books.
Sold sold(db::Connection& connection, const QString& saleNo);

// What `quantities` (one per sold line) give back: Σ quantity × price to the
// cent, never more than the receipt still holds paid.
double refundDue(const Sold& sold, const QList<double>& quantities);

// The refund spread over the sale's methods: `first` (default cash) first, then
// the others in the order paid, each up to what it paid.
QList<TillSale::Payment> refundPlan(const Sold& sold, double amount, const QString& first = {});

struct Return {
    QString saleNo;
    QList<double> quantities;               // one per line of sold(), 0 for a line not returned
    QList<TillSale::Payment> refunds;       // amounts ≥ 0
    qint64 shiftId = 0;
    QString cashier;
    QString saveId;
    bool operator==(const Return&) const = default;
};

// Stores the return: each quantity within what the receipt still holds (the
// refusal names the line), the refunds by the sale's methods, each within what
// it paid, adding up to refundDue(); a member's points earned on what comes
// back are taken back, points refunded given back. Returns the return's number.
QString giveBack(db::Connection& connection, const Return& goodsBack);

} // namespace TillReturn
