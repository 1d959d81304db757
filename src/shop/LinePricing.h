#pragma once

#include "shop/Markdowns.h"

#include <QDate>
#include <QString>

#include <optional>

namespace db {
class Connection;
}

// The price of a new sale line: from the goods' retail price, the markdowns in
// force on the bill's date and the member's level discount. Window-free.
namespace LinePricing {

// What a member brings to the price.
struct Terms {
    double levelDiscount = 100;       // percent; 100 for a walk-in customer
    bool discountOnDiscount = false;  // the level's discount on top of a markdown
};

struct Priced {
    double price = 0;
    double listPrice = 0;   // the retail price the line started from
    QString rule;           // the markdown that priced it; empty when none did
    bool operator==(const Priced&) const = default;
};

// The level's discount applies to a line without a markdown, or with a smaller
// one (the lower price wins; the markdown on a tie); with discountOnDiscount it
// applies on top of the markdown.
Priced priced(double retailPrice, const std::optional<Markdowns::Offer>& markdown, const Terms& terms);

// The terms of the member with this card (none: a walk-in customer's).
Terms termsFor(db::Connection& connection, const QString& cardNo);

// The price of a new line of the goods (by its own code) on `day` for the member.
Priced price(db::Connection& connection, const QString& goodsCode, const QDate& day, const QString& cardNo);
// The same for a retail price already read.
Priced price(db::Connection& connection, const QString& goodsCode, double retailPrice, const QDate& day,
             const Terms& terms);

} // namespace LinePricing
