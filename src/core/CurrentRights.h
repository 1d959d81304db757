#pragma once

#include <QString>

// The rights of the logged-in user: character k of a rights string grants
// function k of the function list (1 = "员工资料" ... 32 = "促销折扣").
enum class Right { Use, Add, Edit, Delete, Check, Find, Print };

// Positions of the function list, in menu order.
namespace Function {
enum Position {
    Employee = 1, Goods, Company, BasicSettings, OpeningStock, Powers, PurchaseIn, PurchaseList,
    CustomerReturn, SalesOut, SupplierReturn, SalesList, RankByGoods, RankByCustomer, StockQuery,
    StockAlarm, StockAdjust, StockCount, StockMovement, Receipts, Payments, PurchaseStatement,
    SalesStatement, Backup, Restore, OperationLog,
    SaleOverCreditLimit, // saving a sale that takes a customer over the credit limit
    GrossProfit,         // today's gross profit on the home page
    RetailTill,          // the till: sales and returns at the counter, the shift
    ChangePrice,         // a till price below the discount limit
    Members,             // member cards and levels, and a member's phone number unmasked
    Markdowns            // markdown rules
};
constexpr int Count = 32;
} // namespace Function

struct CurrentRights {
    QString userId;
    QString use, add, edit, dele, chek, find, prin;

    // True when the right is granted at the position (1-based).
    bool granted(Right right, int position) const;
    const QString& string(Right right) const;
    void clear() { *this = CurrentRights(); }

    static CurrentRights& current();
};

// The rights rule every window applies: granted for the current user at its position.
inline bool hasRight(Right right, int position)
{
    return CurrentRights::current().granted(right, position);
}
