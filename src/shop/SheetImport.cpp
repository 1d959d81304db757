#include "shop/SheetImport.h"

#include "db/Connection.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/Amounts.h"
#include "shop/Barcodes.h"
#include "shop/MasterDataRules.h"
#include "shop/MemberRules.h"
#include "shop/OperationLog.h"
#include "shop/StockInit.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace SheetImport {

namespace {

constexpr int progressEvery = 1000;

Caption c(const char* caption, const char* field)
{
    return {QString::fromUtf8(caption), QString::fromLatin1(field)};
}

// The windows' captions, in the windows' order; the first caption of a field is
// the template's. A new column is one more line here.
const QList<Caption> goodsCaptions = {
    c("编码", "gods_code"), c("货品编码", "gods_code"), c("名称", "gods_name"), c("货品名称", "gods_name"),
    c("条形码", "bar_code"), c("品牌", "gods_spec"), c("分类", "gods_kind"), c("款式", "gods_type"),
    c("款号", "styl_code"), c("季节", "season"), c("尺码", "gods_size"),
    c("颜色", "gods_color"), c("单位", "gods_unit"), c("面料", "gods_face"), c("内里", "gods_in"),
    c("产地", "prod_place"), c("包装单位", "pack_unit"), c("代理价", "agent_pric"), c("批发价", "batch_out"),
    c("建议进价", "valu_in"), c("建议售价", "valu_out"), c("材料费用", "mate_pric"), c("加工费用", "mach_pric"),
    c("库存上限", "max_amou"), c("库存下限", "min_amou"), c("生产商编码", "prod_code"), c("生产商名称", ""),
    c("供应商编码", "supp_code"), c("供应商名称", ""), c("备注", "gods_note"),
};

const QList<Caption> companyCaptions = {
    c("公司编码", "comp_code"), c("客户编码", "comp_code"), c("公司名称", "comp_name"), c("客户名称", "comp_name"),
    c("客户公司", "comp_name"), c("公司地址", "comp_addr"), c("联系人名", "rela_name"), c("联系人电话", "rela_phon"),
    c("电话", "rela_phon"), c("负责人名", "head_name"), c("负责人电话", "head_phon"), c("公司类型", "comp_type"),
    c("银行帐号", "bank_no"), c("国家", "belo_coun"), c("地区", "belo_area"), c("省市", "belo_prov"),
    c("邮编", "post_code"), c("传真", "fax"), c("E_mail", "e_mail"), c("备注", "comp_note"),
    c("信用额度", "cred_limit"),
};

const QList<Caption> employeeCaptions = {
    c("员工编号", "empl_code"), c("编号", "empl_code"), c("姓名", "empl_name"), c("性别", "empl_sex"),
    c("户口", "regi_place"), c("籍贯", "native_place"), c("出生日期", "empl_birth"), c("身份证号", "id_card"),
    c("联系电话", "rela_phon"), c("移动电话", "mobile"), c("紧急联系人", "exig_rela"), c("紧急电话", "exig_tele"),
    c("毕业学校", "school_name"), c("专业", "special"), c("毕业时间", "leave_school"), c("学位", "degree"),
    c("养老保险号", "society_no"), c("医疗保险号", "medica_no"), c("联系地址", "rela_addr"), c("邮编", "post_code"),
    c("部门", "dept_name"), c("入职日期", "in_date"), c("职务", "duty"), c("薪资类型", "salary_type"),
    c("技能等级", "tech_class"), c("保障底薪", "low_salary"), c("班次", "class_type"),
};

const QList<Caption> memberCaptions = {
    c("会员卡号", "card_no"), c("卡号", "card_no"), c("姓名", "memb_name"), c("手机", "mobile"),
    c("手机号", "mobile"), c("等级", "level_name"), c("会员等级", "level_name"), c("生日", "birthday"),
    c("入会日期", "join_date"), c("备注", "remark"),
};

const QList<Caption> stockCaptions = {
    c("货品编码", "gods_code"), c("编码", "gods_code"), c("货品名称", ""), c("名称", ""), c("分类", ""),
    c("品牌", ""), c("款式", ""), c("颜色", ""), c("尺码", ""), c("单位", ""), c("数量", "gods_amou"),
    c("成本", "cost_pric"),
};

// Goods columns whose values come from a code list of baseitem (same column name there).
const QStringList listFields = {QStringLiteral("gods_spec"),  QStringLiteral("gods_kind"),
                                QStringLiteral("gods_type"),  QStringLiteral("gods_size"),
                                QStringLiteral("gods_color"), QStringLiteral("gods_unit"),
                                QStringLiteral("prod_place")};

QString codeField(Kind kind)
{
    switch (kind) {
    case Kind::Companies:
        return QStringLiteral("comp_code");
    case Kind::Employees:
        return QStringLiteral("empl_code");
    case Kind::Members:
        return QStringLiteral("card_no");
    case Kind::Goods:
    case Kind::OpeningStock:
        break;
    }
    return QStringLiteral("gods_code");
}

QString captionOf(Kind kind, const QString& field)
{
    for (const Caption& caption : captions(kind))
        if (caption.field == field)
            return caption.caption;
    return field;
}

QSet<QString> keysOf(db::Connection& connection, const QString& sql)
{
    QSet<QString> keys;
    db::Statement query(connection, sql);
    while (query.next())
        if (!query.isNull(0))
            keys.insert(query.textValue(0).trimmed().toLower());
    return keys;
}

const QRegularExpression& notation()
{
    static const QRegularExpression re(QStringLiteral("^[+-]?\\d+(\\.\\d+)?[eE][+-]?\\d+$"));
    return re;
}

const QRegularExpression& plainNumber()
{
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    return re;
}

QString notationReason()
{
    return QStringLiteral("编码被 Excel 显示成了科学计数法，请把该列设置为“文本”格式后重新输入");
}

// Excel keeps only 15 significant digits of a number: a longer code typed
// into a General cell is already damaged.
constexpr double damagedCodeFrom = 1e15;

QDate parseDate(const QString& text)
{
    static const QStringList formats = {
        QStringLiteral("yyyy-M-d"),         QStringLiteral("yyyy/M/d"),          QStringLiteral("yyyy.M.d"),
        QStringLiteral("yyyy-M-d h:mm:ss"), QStringLiteral("yyyy/M/d h:mm:ss"),  QStringLiteral("yyyy-M-d h:mm"),
        QStringLiteral("yyyy/M/d h:mm"),    QStringLiteral("yyyy年M月d日"),      QStringLiteral("yyyyMMdd"),
    };
    for (const QString& format : formats) {
        const QDateTime dt = QDateTime::fromString(text, format);
        if (dt.isValid())
            return dt.date();
    }
    return {};
}

struct Cell {
    QVariant value;   // as the field takes it
    QString shown;    // as the sheet showed it, for the report
    QString reason;   // why it is refused; empty when taken
};

// What Excel shows in a cell whose formula failed; a CSV saved by Excel holds them as text.
bool isErrorValue(const QString& text)
{
    static const QStringList errors = {QStringLiteral("#N/A"),   QStringLiteral("#DIV/0!"), QStringLiteral("#VALUE!"),
                                       QStringLiteral("#REF!"),  QStringLiteral("#NAME?"),  QStringLiteral("#NUM!"),
                                       QStringLiteral("#NULL!")};
    return errors.contains(text, Qt::CaseInsensitive);
}

QString errorValueReason()
{
    return QStringLiteral("是 Excel 的错误值");
}

Cell readCell(const QVariant& cell, const db::Column& column)
{
    Cell result;
    if (!cell.isValid())
        return result;
    const int type = cell.typeId();
    if (type == qMetaTypeId<SheetError>()) {
        const SheetError error = cell.value<SheetError>();
        if (error.value.isEmpty()) {
            result.shown = QLatin1Char('=') + error.formula;
            result.reason = QStringLiteral("公式没有计算结果，请在 Excel 中重新计算并保存");
        } else {
            result.shown = error.value;
            result.reason = errorValueReason();
        }
        return result;
    }
    if (type == QMetaType::Double) {
        const double number = cell.toDouble();
        result.shown = QString::number(number, 'g', 15);
        switch (column.type) {
        case db::ColumnType::Text:
            if (std::abs(number) >= damagedCodeFrom) {
                result.shown = QString::number(number, 'E', 2);
                result.reason = notationReason();
            } else if (number == std::trunc(number)) {
                // A barcode typed into a General cell: all its digits are held.
                result.value = result.shown = QString::number(qint64(number));
            } else {
                result.value = result.shown;
            }
            break;
        case db::ColumnType::DateTime:
            result.reason = QStringLiteral("不是日期");
            break;
        default:
            result.value = number;
            break;
        }
    } else if (type == QMetaType::QDateTime || type == QMetaType::QDate) {
        const QDateTime dt = cell.toDateTime();
        result.shown = dt.toString(dt.time() == QTime(0, 0) ? QStringLiteral("yyyy-MM-dd")
                                                             : QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (column.type == db::ColumnType::DateTime)
            result.value = QDateTime(dt.date(), QTime(0, 0));
        else if (column.type == db::ColumnType::Text)
            result.value = result.shown;
        else
            result.reason = QStringLiteral("不是数字");
    } else {
        // Text keeps its spaces; numbers, dates and codes are read trimmed.
        const QString whole = cell.toString();
        const QString text = whole.trimmed();
        result.shown = whole;
        if (text.isEmpty())
            return result;
        if (isErrorValue(text)) {
            result.reason = errorValueReason();
            return result;
        }
        switch (column.type) {
        case db::ColumnType::Text:
            if (notation().match(text).hasMatch())
                result.reason = notationReason();
            else
                result.value = whole;
            break;
        case db::ColumnType::DateTime: {
            const QDate date = parseDate(text);
            if (date.isValid())
                result.value = QDateTime(date, QTime(0, 0));
            else
                result.reason = QStringLiteral("不是日期");
            break;
        }
        default:
            if (plainNumber().match(text).hasMatch())
                result.value = text.toDouble();
            else
                result.reason = QStringLiteral("不是数字");
            break;
        }
    }
    if (!result.reason.isEmpty())
        return result;
    if (column.type == db::ColumnType::Text && column.size > 0 && result.value.toString().size() > column.size)
        result.reason = QStringLiteral("超过 %1 个字").arg(column.size);
    else if ((column.type == db::ColumnType::Double || column.type == db::ColumnType::Decimal)
             && !shop::amounts::fits(result.value.toDouble(), shop::amounts::placesOf(column.name)))
        result.reason = shop::amounts::refusal(result.shown, shop::amounts::placesOf(column.name));
    return result;
}

} // namespace

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Goods:
        return QStringLiteral("货品资料");
    case Kind::Companies:
        return QStringLiteral("客户资料");
    case Kind::Employees:
        return QStringLiteral("员工资料");
    case Kind::Members:
        return QStringLiteral("会员资料");
    case Kind::OpeningStock:
        break;
    }
    return QStringLiteral("库存初始化");
}

QString tableOf(Kind kind)
{
    switch (kind) {
    case Kind::Goods:
        return QStringLiteral("goods");
    case Kind::Companies:
        return QStringLiteral("company");
    case Kind::Employees:
        return QStringLiteral("employee");
    case Kind::Members:
        return QStringLiteral("member");
    case Kind::OpeningStock:
        break;
    }
    return QStringLiteral("storemain");
}

const QList<Caption>& captions(Kind kind)
{
    switch (kind) {
    case Kind::Goods:
        return goodsCaptions;
    case Kind::Companies:
        return companyCaptions;
    case Kind::Employees:
        return employeeCaptions;
    case Kind::Members:
        return memberCaptions;
    case Kind::OpeningStock:
        break;
    }
    return stockCaptions;
}

QList<Caption> templateColumns(Kind kind)
{
    QList<Caption> result;
    QSet<QString> seen;
    for (const Caption& caption : captions(kind))
        if (!caption.field.isEmpty() && !seen.contains(caption.field)) {
            seen.insert(caption.field);
            result.append(caption);
        }
    return result;
}

QStringList templateCaptions(Kind kind)
{
    QStringList result;
    for (const Caption& caption : templateColumns(kind))
        result.append(caption.caption);
    return result;
}

QString listReason(const ListValue& value)
{
    return QStringLiteral("“%1”不在%2列表中").arg(value.value, value.caption);
}

Checked check(db::Connection& connection, Kind kind, const QList<SheetRow>& sheet, bool updateExisting,
              const Progress& progress)
{
    Checked checked;
    checked.kind = kind;
    checked.updateExisting = updateExisting;
    const QString table = tableOf(kind);
    const QString code = codeField(kind);
    if (sheet.isEmpty()) {
        checked.refusal = QStringLiteral("文件中没有数据");
        return checked;
    }

    // The header: each column's field by caption.
    QHash<QString, QString> byCaption;
    for (const Caption& caption : captions(kind))
        byCaption.insert(caption.caption.toLower(), caption.field);
    const SheetRow& header = sheet.first();
    QList<int> sheetColumns;   // per field of checked.fields
    for (int col = 0; col < header.cells.size(); ++col) {
        const QString caption = header.cells[col].toString().trimmed();
        if (caption.isEmpty())
            continue;
        const auto found = byCaption.constFind(caption.toLower());
        if (found == byCaption.constEnd()) {
            checked.unknownColumns.append(caption);
        } else if (!found->isEmpty()) {
            if (checked.fields.contains(*found)) {
                checked.problems.append({header.number, caption, caption, QStringLiteral("与前面的列重复")});
                continue;
            }
            checked.fields.append(*found);
            sheetColumns.append(col);
        }
    }
    const int codeIndex = int(checked.fields.indexOf(code));
    if (codeIndex < 0) {
        checked.refusal = QStringLiteral("缺少必需的列：%1").arg(captionOf(kind, code));
        return checked;
    }

    // What the database already holds.
    const QSet<QString> existing
        = keysOf(connection, QStringLiteral("select %1 from %2").arg(code, table));
    QSet<QString> companyCodes;
    QHash<QString, QSet<QString>> lists;
    if (kind == Kind::Goods) {
        companyCodes = keysOf(connection, QStringLiteral("select comp_code from company"));
        for (const QString& field : listFields)
            if (checked.fields.contains(field))
                lists.insert(field, keysOf(connection, QStringLiteral("select %1 from baseitem").arg(field)));
    }
    // Goods by code, as messages name them ("编码 名称"), and the goods each barcode belongs to.
    QHash<QString, QString> goodsNames;
    QHash<QString, QString> barcodeOwners;
    if (kind == Kind::Goods || kind == Kind::OpeningStock) {
        db::Statement goods(connection, QStringLiteral("select gods_code, gods_name, bar_code from goods"));
        while (goods.next()) {
            const QString goodsCode = goods.textValue(0).trimmed();
            goodsNames.insert(goodsCode.toLower(), (goodsCode + QLatin1Char(' ') + goods.textValue(1)).trimmed());
            const QString barCode = goods.isNull(2) ? QString() : goods.textValue(2).trimmed();
            if (!barCode.isEmpty())
                barcodeOwners.insert(barCode.toLower(), goodsCode.toLower());
        }
    }
    const QSet<QString> withBills
        = kind == Kind::OpeningStock
              ? keysOf(connection, QStringLiteral("select gods_code from ingoods union select gods_code from outgoods"))
              : QSet<QString>();
    // The stored values the field rules look at, for the rows that update.
    const bool ruled = kind == Kind::Goods || kind == Kind::Companies || kind == Kind::Members;
    QHash<QString, QHash<QString, QVariant>> stored;
    if (ruled && updateExisting) {
        const QStringList& ruleFields = MasterDataRules::fields(table);
        db::Statement query(connection, QStringLiteral("select %1,%2 from %3")
                                            .arg(code, ruleFields.join(QLatin1Char(',')), table));
        while (query.next()) {
            QHash<QString, QVariant>& values = stored[query.textValue(0).trimmed().toLower()];
            for (int i = 0; i < ruleFields.size(); ++i)
                if (!query.isNull(i + 1))
                    values.insert(ruleFields[i], query.value(i + 1));
        }
    }
    // Members: each mobile's card, and the levels set up.
    QHash<QString, QString> mobileCards;
    QSet<QString> levels;
    if (kind == Kind::Members) {
        db::Statement mobiles(connection, QStringLiteral("select mobile, card_no from member where mobile is not null"));
        while (mobiles.next())
            mobileCards.insert(mobiles.textValue(0).trimmed(), mobiles.textValue(1).trimmed());
        levels = keysOf(connection, QStringLiteral("select level_name from memblevel"));
    }
    const int mobileIndex = kind == Kind::Members ? int(checked.fields.indexOf(QStringLiteral("mobile"))) : -1;
    const int levelIndex = kind == Kind::Members ? int(checked.fields.indexOf(QStringLiteral("level_name"))) : -1;
    QHash<QString, int> seenMobiles;   // mobile → its row
    QList<const db::Column*> columns;
    for (const QString& field : std::as_const(checked.fields))
        columns.append(db::Schema::column(table, field));
    const int barIndex = kind == Kind::Goods ? int(checked.fields.indexOf(QStringLiteral("bar_code"))) : -1;

    QHash<QString, int> seenCodes;      // code → its row
    QHash<QString, int> seenBarcodes;   // barcode → its row
    struct LaterBarcode {
        int row;
        QString key;
        QString shown;
    };
    QList<LaterBarcode> laterBarcodes;   // to be checked against the codes of the rows below
    QSet<QString> offered;
    const int total = int(sheet.size()) - 1;
    for (int i = 1; i < sheet.size(); ++i) {
        if (progress && i % progressEvery == 0 && !progress(i, total)) {
            checked.cancelled = true;
            return checked;
        }
        const SheetRow& row = sheet[i];
        QVariantList values;
        values.reserve(checked.fields.size());
        QSet<int> refused;   // fields whose cell could not be read
        const auto refuse = [&](int f, const QString& shown, const QString& reason) {
            checked.problems.append({row.number, captionOf(kind, checked.fields[f]), shown, reason});
        };
        for (int f = 0; f < checked.fields.size(); ++f) {
            const QVariant raw = sheetColumns[f] < row.cells.size() ? row.cells[sheetColumns[f]] : QVariant();
            const Cell cell = readCell(raw, *columns[f]);
            if (!cell.reason.isEmpty()) {
                refuse(f, cell.shown, cell.reason);
                refused.insert(f);
            }
            values.append(cell.value);
        }
        // Rules of the row, where its cells were readable.
        const QString codeText = values[codeIndex].toString().trimmed();
        values[codeIndex] = codeText.isEmpty() ? QVariant() : QVariant(codeText);
        const QString key = codeText.toLower();
        bool inDatabase = false;
        if (!refused.contains(codeIndex)) {
            if (codeText.isEmpty()) {
                refuse(codeIndex, {}, QStringLiteral("编码不能为空"));
            } else if (seenCodes.contains(key)) {
                refuse(codeIndex, codeText, QStringLiteral("与第 %1 行重复").arg(seenCodes.value(key)));
            } else {
                seenCodes.insert(key, row.number);
                inDatabase = existing.contains(key);
                if (kind == Kind::OpeningStock && !goodsNames.contains(key)) {
                    refuse(codeIndex, codeText, QStringLiteral("货品编码不存在"));
                } else if (kind == Kind::OpeningStock && withBills.contains(key)) {
                    // Once a goods has bills, only bills, counts and adjustments change its stock.
                    refuse(codeIndex, codeText,
                           QStringLiteral("货品“%1”已有单据，期初库存不能再导入，库存只能由单据、盘点和调整改变")
                               .arg(goodsNames.value(key)));
                } else if (inDatabase && !updateExisting) {
                    refuse(codeIndex, codeText,
                           kind == Kind::OpeningStock ? QStringLiteral("库存记录已存在（可选择“更新已有”）")
                                                      : QStringLiteral("编码已存在（可选择“更新已有”）"));
                } else if (kind == Kind::Goods && !inDatabase && barcodeOwners.contains(key)
                           && barcodeOwners.value(key) != key) {
                    refuse(codeIndex, codeText, Barcodes::isBarcodeReason(goodsNames.value(barcodeOwners.value(key))));
                }
            }
        }
        if (barIndex >= 0 && !refused.contains(barIndex) && !values[barIndex].isNull()) {
            const QString barCode = values[barIndex].toString().trimmed();
            values[barIndex] = barCode;
            const QString barKey = barCode.toLower();
            const bool ownCode = barKey == key;
            QString reason;
            if (barcodeOwners.contains(barKey) && barcodeOwners.value(barKey) != key)
                reason = Barcodes::takenReason(goodsNames.value(barcodeOwners.value(barKey)));
            else if (!ownCode && goodsNames.contains(barKey))
                reason = Barcodes::isCodeReason(goodsNames.value(barKey));
            else if (seenBarcodes.contains(barKey))
                reason = QStringLiteral("与第 %1 行重复").arg(seenBarcodes.value(barKey));
            else if (!ownCode && seenCodes.contains(barKey))
                reason = QStringLiteral("是第 %1 行货品的编码").arg(seenCodes.value(barKey));
            else if (Barcodes::looksLikeEan(barCode) && !Barcodes::hasValidCheck(barCode))
                reason = Barcodes::checkDigitReason(barCode);
            seenBarcodes.insert(barKey, seenBarcodes.value(barKey, row.number));
            if (!reason.isEmpty())
                refuse(barIndex, barCode, reason);
            else if (!ownCode)
                laterBarcodes.append({row.number, barKey, barCode});
        }
        for (int f = 0; f < checked.fields.size(); ++f) {
            const QString& field = checked.fields[f];
            const QVariant& v = values[f];
            if (v.isNull())
                continue;
            if (lists.contains(field)) {
                const QString text = v.toString();
                const QString listKey = field + QLatin1Char('\n') + text.toLower();
                if (!lists[field].contains(text.toLower()) && !offered.contains(listKey)) {
                    offered.insert(listKey);
                    checked.newListValues.append({row.number, captionOf(kind, field), field, text});
                }
            } else if ((field == QLatin1String("prod_code") || field == QLatin1String("supp_code"))
                       && !companyCodes.contains(v.toString().toLower())) {
                refuse(f, v.toString(), QStringLiteral("公司编码不存在"));
            } else if ((field == QLatin1String("gods_amou") || field == QLatin1String("cost_pric"))
                       && v.toDouble() < 0) {
                refuse(f, v.toString(), QStringLiteral("不能小于0"));
            } else if (field == QLatin1String("empl_sex") && v.toString() != QStringLiteral("男")
                       && v.toString() != QStringLiteral("女")) {
                refuse(f, v.toString(), QStringLiteral("只能是“男”或“女”"));
            }
        }
        if (ruled) {
            // The window's rules on the row as it will be stored; what the stored row
            // already broke before is not this file's doing.
            const QHash<QString, QVariant> before = inDatabase ? stored.value(key) : QHash<QString, QVariant>();
            QHash<QString, QVariant> after = before;
            for (const QString& field : MasterDataRules::fields(table)) {
                const int f = int(checked.fields.indexOf(field));
                if (f >= 0 && !refused.contains(f) && !values[f].isNull())
                    after.insert(field, values[f]);
            }
            const QList<MasterDataRules::Refusal> old = MasterDataRules::check(table, before);
            for (const MasterDataRules::Refusal& r : MasterDataRules::check(table, after)) {
                const bool wasThere = std::any_of(old.begin(), old.end(), [&](const MasterDataRules::Refusal& o) {
                    return o.field == r.field && o.reason == r.reason;
                });
                if (!wasThere)
                    checked.problems.append({row.number, captionOf(kind, r.field),
                                             MasterDataRules::numberText(after.value(r.field)), r.reason});
            }
        }
        if (kind == Kind::Employees) {
            const int name = int(checked.fields.indexOf(QStringLiteral("empl_name")));
            if (name < 0 || (!refused.contains(name) && values[name].toString().isEmpty()))
                checked.problems.append({row.number, captionOf(kind, QStringLiteral("empl_name")), {},
                                         QStringLiteral("姓名不能为空")});
        }
        if (mobileIndex >= 0 && !refused.contains(mobileIndex) && !values[mobileIndex].isNull()) {
            const QString mobile = values[mobileIndex].toString().trimmed();
            values[mobileIndex] = mobile.isEmpty() ? QVariant() : QVariant(mobile);
            if (mobile.isEmpty()) {
                // a blank cell: no phone
            } else if (seenMobiles.contains(mobile)) {
                refuse(mobileIndex, mobile, QStringLiteral("与第 %1 行重复").arg(seenMobiles.value(mobile)));
            } else {
                seenMobiles.insert(mobile, row.number);
                const QString owner = mobileCards.value(mobile);
                if (!owner.isEmpty() && owner.toLower() != key)
                    refuse(mobileIndex, mobile, MemberRules::mobileTakenReason(owner));
            }
        }
        if (levelIndex >= 0 && !refused.contains(levelIndex) && !values[levelIndex].isNull()
            && !levels.contains(values[levelIndex].toString().trimmed().toLower()))
            refuse(levelIndex, values[levelIndex].toString(), MemberRules::unknownLevelReason());
        checked.rows.append(values);
        checked.existing.append(inDatabase);
    }
    // A barcode that is the code of a goods further down the file.
    for (const LaterBarcode& later : std::as_const(laterBarcodes))
        if (seenCodes.contains(later.key))
            checked.problems.append({later.row, captionOf(kind, QStringLiteral("bar_code")), later.shown,
                                     QStringLiteral("是第 %1 行货品的编码").arg(seenCodes.value(later.key))});
    std::stable_sort(checked.problems.begin(), checked.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.row < b.row; });
    if (progress)
        progress(total, total);
    return checked;
}

namespace {

void addListValues(db::Connection& connection, const QList<ListValue>& values)
{
    for (const ListValue& value : values) {
        const QString idColumn = value.field + QStringLiteral("_id");
        // The next number after the list's numeric codes.
        db::Statement ids(connection, QStringLiteral("select %1 from baseitem where %1 is not null").arg(idColumn));
        int next = 1;
        while (ids.next())
            next = qMax(next, ids.textValue(0).toInt() + 1);
        db::Statement insert(connection,
                             QStringLiteral("insert into baseitem(%1,%2) values(:id,:name)").arg(idColumn, value.field));
        insert.bind(QStringLiteral("id"), QString::number(next)).bind(QStringLiteral("name"), value.value).execute();
    }
}

} // namespace

bool write(db::Connection& connection, const Checked& checked, bool addList, const Progress& progress)
{
    if (!checked.clean() || (!checked.newListValues.isEmpty() && !addList))
        throw std::logic_error("an import with problems is not written");
    const int total = int(checked.rows.size());
    const QStringList& fields = checked.fields;
    const int codeIndex = int(fields.indexOf(codeField(checked.kind)));

    if (checked.kind == Kind::OpeningStock) {
        const int amount = int(fields.indexOf(QStringLiteral("gods_amou")));
        const int cost = int(fields.indexOf(QStringLiteral("cost_pric")));
        QList<StockInit::OpeningLine> lines;
        lines.reserve(total);
        for (const QVariantList& row : checked.rows)
            lines.append({row[codeIndex].toString(), amount >= 0 ? row[amount] : QVariant(),
                          cost >= 0 ? row[cost] : QVariant(), amount >= 0 && !row[amount].isNull(),
                          cost >= 0 && !row[cost].isNull()});
        return StockInit::importLines(connection, lines, progress);
    }

    const QString table = tableOf(checked.kind);
    QStringList names;
    QStringList sets;
    for (int f = 0; f < fields.size(); ++f) {
        names.append(QStringLiteral(":p%1").arg(f));
        // An empty cell leaves the stored value.
        if (f != codeIndex)
            sets.append(QStringLiteral("%1=coalesce(:p%2,%1)").arg(fields[f]).arg(f));
    }
    db::Transaction transaction(connection, db::Transaction::Write);
    if (addList)
        addListValues(connection, checked.newListValues);
    db::Statement insert(connection, QStringLiteral("insert into %1(%2) values(%3)")
                                         .arg(table, fields.join(QLatin1Char(',')), names.join(QLatin1Char(','))));
    std::optional<db::Statement> update;
    if (checked.updateCount() > 0 && !sets.isEmpty())
        update.emplace(connection, QStringLiteral("update %1 set %2 where %3=:p%4")
                                       .arg(table, sets.join(QLatin1Char(',')), fields[codeIndex])
                                       .arg(codeIndex));
    for (int r = 0; r < total; ++r) {
        if (progress && r % progressEvery == 0 && r > 0 && !progress(r, total))
            return false;
        const bool existing = checked.existing[r];
        if (existing && !update)
            continue;
        db::Statement& statement = existing ? *update : insert;
        const QVariantList& row = checked.rows[r];
        for (int f = 0; f < fields.size(); ++f)
            statement.bind(names[f], row[f]);
        statement.execute();
        statement.reset();
    }
    const int updated = checked.updateCount();
    OperationLog::write(connection, {kindName(checked.kind), QStringLiteral("导入"), {},
                                     QStringLiteral("新增 %1 条，更新 %2 条").arg(total - updated).arg(updated), {}});
    transaction.commit();
    if (progress)
        progress(total, total);
    return true;
}

} // namespace SheetImport
