#pragma once

// The goods the till tests sell: a shirt with colour, size and barcode, and trousers without.
#include "TestSupport.h"

namespace TillSamples {

inline void addGoods(TestApp& app)
{
    app.exec("insert into goods(gods_code,gods_name,gods_color,gods_size,valu_in,valu_out,bar_code) "
             "values('T1','短袖衬衫','白','XL',40,99,'6901234567892')");
    app.exec("insert into goods(gods_code,gods_name,valu_in,valu_out) values('T2','长裤',20,35.5)");
}

} // namespace TillSamples
