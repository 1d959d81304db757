#pragma once

// Sample rows for the report tests and the fifteen layouts' datasets opened over them.

#include "TestSupport.h"

#include "db/Dataset.h"

namespace samples {

inline void addCompanyAndPeople(TestApp& app)
{
    app.exec("insert into employee (empl_code, empl_name) values ('E01', '张三'), ('E02', '李四'), ('E03', '王五')");
    app.exec("insert into company (comp_code, comp_name, rela_name, rela_phon, head_name) values "
             "('C001', '杭州澜禾服饰有限公司', '陈小姐', '0571-88886666', '王经理'), "
             "('C002', '宁波四季鞋业', '刘先生', '0574-55554444', '刘总')");
}

inline void addGoods(TestApp& app)
{
    app.exec("insert into goods (gods_code, gods_name, gods_kind, gods_spec, gods_type, gods_color, gods_size, "
             "gods_unit, max_amou, min_amou) values "
             "('G0001', '男士休闲衬衫', '衬衫', '澜禾', '修身', '白色', 'XL', '件', 100, 5), "
             "('G0002', '女式牛仔裤', '裤装', '四季', '直筒', '蓝色', '28', '条', 50, 10), "
             "('G0003', '儿童运动鞋', '鞋类', '小步', '休闲', '红色', '32', '双', 40, 5)");
}

inline void addStock(TestApp& app)
{
    app.exec("insert into storemain (gods_code, gods_amou, cost_pric) values "
             "('G0001', 120, 45.5), ('G0002', 3, 80), ('G0003', 30, 62.25)");
}

inline void addBills(TestApp& app)
{
    for (const char* table : {"inmain", "outmain"}) {
        app.exec(QStringLiteral("insert into %1 (bill_no, vouc_no, bill_date, comp_code, mone_type, fee_type, "
                                "hand_code, chek_code, oper_code, send_code, rece_code, rela_code, fact_tota, "
                                "shou_tota, remark, bill_type, oper_name) values "
                                "('20240315101530', 'V0001', '2024-03-15 00:00:00', 'C001', '人民币', '现金', "
                                "'E01', 'E02', 'E03', 'E01', 'E02', 'E03', 1000, 2346.5, '首批货款', :p1, '王五'), "
                                "('20240316093000', 'V0002', '2024-03-16 00:00:00', 'C002', '人民币', '转账', "
                                "'E01', 'E02', 'E03', 'E01', 'E02', 'E03', 500, 500, '', :p1, '王五')")
                     .arg(QString::fromLatin1(table)),
                 {QString::fromLatin1(table) == QStringLiteral("inmain") ? "in" : "out"});
    }
    for (const char* table : {"ingoods", "outgoods", "outtemp"}) {
        app.exec(QStringLiteral("insert into %1 (bill_no, gods_code, sub_amou, unit_pric, remark) values "
                                "('20240315101530', 'G0001', 20, 45.5, '加急'), "
                                "('20240315101530', 'G0002', 12, 80, ''), "
                                "('20240315101530', 'G0003', 6.5, 62.25, '样品')")
                     .arg(QString::fromLatin1(table)));
    }
}

inline void addCountAndMovement(TestApp& app)
{
    app.exec("insert into chektemp (gods_code, gods_amou, chek_amou, chek_date) values "
             "('G0001', 120, 118, '2024-03-31 00:00:00'), ('G0002', 3, 3, '2024-03-31 00:00:00'), "
             "('G0003', 30, 31, '2024-03-31 00:00:00')");
    app.exec("insert into mios (gods_code, last_amou, in_amou, out_amou, now_amou) values "
             "('G0001', 10, 8, 4, 14), ('G0002', 0, 12, 2, 10), ('G0003', 5, 0, 0, 5)");
}

// The window-side calculations the printing windows install.
inline void installCalculations(TFrmDataMod& dm, QObject* owner)
{
    const auto lineTotal = [](db::Dataset& d) {
        if (!d.isNull("sub_amou") && !d.isNull("unit_pric"))
            d.setCalculated("sub_tota", d.number("sub_amou") * d.number("unit_pric"));
    };
    for (db::Dataset* lines : {dm.InGoodsQ, dm.OutTempQ, dm.InListQ, dm.OutListQ})
        lines->addHook(db::Dataset::Hook::Calculate, owner, lineTotal);
    dm.StoreQ->addHook(db::Dataset::Hook::Calculate, owner, [](db::Dataset& d) {
        d.setCalculated("cost_tota", d.number("gods_amou") * d.number("cost_pric"));
    });
    dm.ChektempQ->addHook(db::Dataset::Hook::Calculate, owner, [](db::Dataset& d) {
        d.setCalculated("lost_amou", d.number("chek_amou") - d.number("gods_amou"));
    });
    for (db::Dataset* settlement : {dm.GathQ, dm.PayQ})
        settlement->addHook(db::Dataset::Hook::Calculate, owner, [](db::Dataset& d) {
            d.setCalculated("margin", d.number("shou_tota") - d.number("fact_tota"));
        });
}

// Fills every table the layouts print and opens every dataset they read.
inline void fillAll(TestApp& app, QObject* owner)
{
    addCompanyAndPeople(app);
    addGoods(app);
    addStock(app);
    addBills(app);
    addCountAndMovement(app);
    TFrmDataMod& dm = app.dataModule();
    installCalculations(dm, owner);
    dm.OutTempQ->setSql("select * from outtemp");
    for (db::Dataset* d : {dm.InMainQ, dm.InGoodsQ, dm.OutMainQ, dm.OutTempQ, dm.StoreQ, dm.AlarmQ, dm.ChektempQ,
                           dm.MiosQ, dm.GathQ, dm.PayQ, dm.InListQ, dm.OutListQ, dm.OutSortQ, dm.OutSortCQ})
        d->open();
    dm.InMainQ->first();
    dm.OutMainQ->first();
}

} // namespace samples
