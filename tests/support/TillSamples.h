#pragma once

// The goods the till tests sell: a shirt with colour, size and barcode, and trousers without.
#include "TestSupport.h"

#include "core/DatabaseFile.h"
#include "shop/TillSale.h"

namespace TillSamples {

inline void addGoods(TestApp& app)
{
    app.exec("insert into goods(gods_code,gods_name,gods_color,gods_size,valu_in,valu_out,bar_code) "
             "values('T1','短袖衬衫','白','XL',40,99,'6901234567892')");
    app.exec("insert into goods(gods_code,gods_name,valu_in,valu_out) values('T2','长裤',20,35.5)");
}

// Ten of each in stock, the shirt at a cost of 40, the trousers at 20.
inline void addStock(TestApp& app)
{
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values('T1',10,40)");
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values('T2',10,20)");
}

// A sale at the administrator's till in the shift, to the member with the card (none: a walk-in customer).
inline TillSale::Sale sale(const QList<TillSale::Line>& lines, const QList<TillSale::Payment>& payments, qint64 shift,
                           const QString& card = {})
{
    return {lines, payments, shift, DatabaseFile::adminId, {}, card};
}

} // namespace TillSamples
