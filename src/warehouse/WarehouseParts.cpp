#include "warehouse/WarehouseParts.h"

#include "db/Dataset.h"
#include "db/Field.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"

namespace WarehouseParts {

void addGoodsColumns(ui::DbGrid* grid)
{
    static const char* const columns[][2] = {
        {"gods_code", "货品编码"}, {"gods_name", "货品名称"}, {"gods_kind", "分类"}, {"gods_spec", "品牌"},
        {"gods_type", "款式"},     {"gods_color", "颜色"},    {"gods_size", "尺码"}, {"gods_unit", "单位"},
    };
    for (const auto& [field, title] : columns)
        grid->addColumn(QString::fromLatin1(field), QString::fromUtf8(title),
                        QByteArray(field) == "gods_name" ? 120 : (QByteArray(field) == "gods_code" ? 90 : 60));
}

bool moveToCode(db::Dataset& dataset, const QString& code)
{
    const int row = code.isEmpty() ? -1 : dataset.findStarting(QStringLiteral("gods_code"), code);
    if (row < 0)
        return false;
    dataset.moveTo(row);
    return true;
}

void reportFailure(const QString& what, const std::exception& error, QWidget* parent)
{
    ui::showError(QStringLiteral("%1：%2").arg(what, ui::errorText(error)), parent);
}

} // namespace WarehouseParts
