#include "statistics/TFrmOutSortC.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"

TFrmOutSortC::TFrmOutSortC(QWidget* parent)
    : RankingWindow({QStringLiteral("出货排行-按客户"),
                     QStringLiteral("FrmOutSortC"),
                     statistics::RankingKey::Company,
                     dataModule().OutSortCQ,
                     Function::RankByCustomer,
                     []() -> ReportLayout& { return ReportLayouts::get<TQRoutSortC>(); },
                     {{"comp_code", QStringLiteral("公司编码"), 100},
                      {"comp_name", QStringLiteral("公司名称"), 240},
                      {"head_name", QStringLiteral("负责人名"), 120},
                      {"sub_amou", QStringLiteral("数量"), 110},
                      {"sub_tota", QStringLiteral("金额"), 130}}},
                    parent)
{
}
