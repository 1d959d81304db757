#include "statistics/TFrmOutSortG.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"

TFrmOutSortG::TFrmOutSortG(QWidget* parent)
    : RankingWindow({QStringLiteral("出货排行-按货品"),
                     QStringLiteral("FrmOutSortG"),
                     statistics::RankingKey::Goods,
                     dataModule().OutSortQ,
                     Function::RankByGoods,
                     []() -> ReportLayout& { return ReportLayouts::get<TQRoutSortG>(); },
                     {{"gods_code", QStringLiteral("货品编码"), 80},
                      {"gods_name", QStringLiteral("货品名称"), 130},
                      {"gods_kind", QStringLiteral("分类"), 55},
                      {"gods_spec", QStringLiteral("品牌"), 55},
                      {"gods_type", QStringLiteral("款式"), 55},
                      {"gods_color", QStringLiteral("颜色"), 45},
                      {"gods_size", QStringLiteral("尺码"), 45},
                      {"gods_unit", QStringLiteral("单位"), 40},
                      {"sub_amou", QStringLiteral("数量"), 65},
                      {"unit_pric", QStringLiteral("平均价"), 65},
                      {"sub_tota", QStringLiteral("金额"), 80}}},
                    parent)
{
}
