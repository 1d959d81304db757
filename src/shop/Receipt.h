#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace shop {

// What a till receipt says, as stored: filled from a till sale or return by the
// till, printed by the receipt printer (ESC/POS or a page).
struct Receipt {
    struct Line {
        QString name;        // "短袖衬衫 白 XL"
        double quantity = 0;
        double price = 0;    // the price charged, after the line's discount
        double amount = 0;   // quantity × price, rounded to the cent
    };
    struct Payment {
        QString method;      // 现金, 微信, …
        double amount = 0;
    };

    bool isReturn = false;   // a return receipt: amounts are paid back
    QString shopName;
    QString shopAddress;
    QString shopPhone;
    QString number;          // the bill's voucher number, printed as a barcode too
    QDateTime when;
    QString cashier;
    QList<Line> lines;
    double discount = 0;     // whole-sale discount and rounding, ≥ 0
    double total = 0;        // what the customer pays (or gets back)
    QList<Payment> payments;
    double change = 0;       // 找零
    bool cashTaken = false;  // opens the drawer
};

} // namespace shop
