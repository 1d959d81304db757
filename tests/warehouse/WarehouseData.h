#pragma once

// Rows the warehouse tests start from, written with SQL as the bill windows would leave them.
#include "TestSupport.h"

#include <QDate>

namespace WarehouseData {

inline void addGoods(TestApp& app, const QString& code, const QString& kind = QStringLiteral("上衣"),
                     const QVariant& max = {}, const QVariant& min = {})
{
    app.exec("insert into goods(gods_code,gods_name,gods_kind,max_amou,min_amou) values(:p1,:p2,:p3,:p4,:p5)",
             {code, QStringLiteral("货品") + code, kind, max, min});
}

inline void addStock(TestApp& app, const QString& code, const QVariant& amount, const QVariant& cost = 0.0)
{
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values(:p1,:p2,:p3)", {code, amount, cost});
}

inline double stock(TestApp& app, const QString& code)
{
    return app.scalar("select gods_amou from storemain where gods_code=:p1", {code}).toDouble();
}

inline void addCount(TestApp& app, const QString& code, double counted, const QDate& date)
{
    app.exec("insert into storchek(gods_code,gods_amou,chek_amou,chek_date) values(:p1,:p2,:p2,:p3)",
             {code, counted, date});
}

// One bill line under its own header; in-bills go to inmain/ingoods, out-bills to outmain/outgoods.
inline void addBillLine(TestApp& app, bool in, const QString& billNo, const QDate& date, const QString& code,
                        double amount)
{
    const QString head = in ? QStringLiteral("inmain") : QStringLiteral("outmain");
    const QString lines = in ? QStringLiteral("ingoods") : QStringLiteral("outgoods");
    if (app.scalar(QString("select count(*) from %1 where bill_no=:p1").arg(head), {billNo}).toInt() == 0)
        app.exec(QString("insert into %1(bill_no,bill_date,bill_type) values(:p1,:p2,:p3)").arg(head),
                 {billNo, date, in ? QStringLiteral("in") : QStringLiteral("out")});
    app.exec(QString("insert into %1(bill_no,gods_code,sub_amou,unit_pric) values(:p1,:p2,:p3,1)").arg(lines),
             {billNo, code, amount});
}

// Makes the Nth update of storemain fail, as a broken disk or a constraint would.
inline void failStockUpdateAt(TestApp& app, int n)
{
    app.exec("create temp table if not exists update_hits(n integer)");
    app.exec("delete from update_hits");
    app.refuse("fail_stock_update", "update", "storemain", QString("(select count(*) from update_hits)>=%1").arg(n),
               "disk full", "insert into update_hits values(1)");
}

inline void removeFailure(TestApp& app)
{
    app.allow("fail_stock_update", "storemain");
}

} // namespace WarehouseData
