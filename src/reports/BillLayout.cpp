#include "reports/BillLayout.h"

#include "core/TFrmDataMod.h"

namespace {

constexpr double rowHeight = 5.5;

} // namespace

BillLayout::BillLayout(Direction direction, QObject* parent)
    : ReportLayout(parent)
{
    const bool out = direction == Direction::Out;
    TFrmDataMod& dm = data();
    db::Dataset* header = out ? dm.OutMainQ : dm.InMainQ;
    db::Dataset* lines = out ? dm.OutTempQ : dm.InGoodsQ;
    // The out-bill is designed for its narrower custom paper.
    const double width = out ? 198.0 : 190.0;
    const double extra = width - 190.0;

    setTitle(out ? QStringLiteral("销售单") : QStringLiteral("进货单"));
    setMasterDataset(lines);
    setContentWidth(width);
    setDefaultFont(ReportFont{QStringLiteral("宋体"), ReportFont::pointsFromPixels(13), false});
    if (out)
        setCustomPaper(218, 140);

    addBand(Kind::PageHeader, 30);
    addBand(Kind::Detail, 6.6);
    addBand(Kind::Summary, 25);
    if (!out)
        addBand(Kind::PageFooter, 4.5);

    ReportItem& title = addTitleLabel(Kind::PageHeader, 0, 8, ReportFont::pointsFromPixels(19), QStringLiteral("QRLabel1"));
    title.font.bold = true;

    const auto field = [&](double x, double top, double w, const QString& name) {
        addData(Kind::PageHeader, QRectF(x, top, w, rowHeight), header, name);
        return x + w;
    };
    const auto caption = [&](Kind band, double x, double top, double w, const QString& text) {
        addLabel(band, QRectF(x, top, w, rowHeight), text);
        return x + w;
    };

    double y = 9;
    double x = caption(Kind::PageHeader, 0, y, 13, QStringLiteral("凭证号"));
    x = field(x, y, 32, QStringLiteral("vouc_no"));
    x = caption(Kind::PageHeader, x, y, 17, QStringLiteral("单流水号"));
    x = field(x, y, 32, QStringLiteral("bill_no"));
    x = caption(Kind::PageHeader, x, y, 17, QStringLiteral("开单日期"));
    x = field(x, y, 37, QStringLiteral("bill_date"));
    x = caption(Kind::PageHeader, x, y, 10, QStringLiteral("币种"));
    field(x, y, 32 + extra, QStringLiteral("mone_type"));

    y = 15.5;
    if (out) {
        x = caption(Kind::PageHeader, 0, y, 17, QStringLiteral("公司名称"));
        x = field(x, y, 62, QStringLiteral("comp_name"));
        x = caption(Kind::PageHeader, x, y, 13, QStringLiteral("联系人"));
        x = field(x, y, 30, QStringLiteral("rela_name"));
        x = caption(Kind::PageHeader, x, y, 10, QStringLiteral("电话"));
        x = field(x, y, 34, QStringLiteral("rela_phon"));
        x = caption(Kind::PageHeader, x, y, 17, QStringLiteral("结算方式"));
        field(x, y, 15, QStringLiteral("fee_type"));
    } else {
        x = caption(Kind::PageHeader, 0, y, 17, QStringLiteral("客户名称"));
        x = field(x, y, 30, QStringLiteral("comp_code"));
        x = caption(Kind::PageHeader, x, y, 17, QStringLiteral("客户名称"));
        x = field(x, y, 64, QStringLiteral("comp_name"));
        x = caption(Kind::PageHeader, x, y, 17, QStringLiteral("结算方式"));
        field(x, y, 45, QStringLiteral("fee_type"));
    }

    const Qt::Alignment number = Qt::AlignRight;
    QList<ReportColumn> columns;
    if (out) {
        columns = {{QStringLiteral("编码"), QStringLiteral("gods_code"), 22},
                   {QStringLiteral("产品名称"), QStringLiteral("gods_name"), 38}};
    } else {
        columns = {{QStringLiteral("货品编码"), QStringLiteral("gods_code"), 24},
                   {QStringLiteral("货品名称"), QStringLiteral("gods_name"), 36}};
    }
    columns += QList<ReportColumn>{
        {QStringLiteral("分类"), QStringLiteral("gods_kind"), 16},
        {QStringLiteral("品牌"), QStringLiteral("gods_spec"), 16},
        {QStringLiteral("款式"), QStringLiteral("gods_type"), 16},
        {QStringLiteral("单位"), QStringLiteral("gods_unit"), 12},
        {QStringLiteral("单价"), QStringLiteral("unit_pric"), 18, number},
        {QStringLiteral("数量"), QStringLiteral("sub_amou"), 16, number},
        {QStringLiteral("小计"), QStringLiteral("sub_tota"), out ? 22.0 : 20.0, number},
        {QStringLiteral("备注"), QStringLiteral("remark"), out ? 22.0 : 16.0},
    };
    addTable(Kind::PageHeader, 23, 7, columns, lines);

    // Summary: the totals row boxed under the table, then the header's remark and
    // amount, the people and the footer.
    const double totalsHeight = 6.6;
    const QList<double> cells = {24, 68 + extra, 17, 24, 17, 40};
    x = caption(Kind::Summary, 0, 0.55, 24, QStringLiteral("合计金额大写"));
    addPairs(Kind::Summary, x, 0.55, rowHeight,
             {{QString(), 0, QStringLiteral("QRLabel29"), cells[1]},
              {QStringLiteral("合计数量"), cells[2], QStringLiteral("QRLabel30"), cells[3]},
              {QStringLiteral("合计金额"), cells[4], QStringLiteral("QRLabel31"), cells[5]}});
    addBox(Kind::Summary, QRectF(0, 0, width, totalsHeight));
    x = 0;
    for (int i = 0; i + 1 < cells.size(); ++i) {
        x += cells[i];
        addVLine(Kind::Summary, x, 0, totalsHeight);
    }

    y = 7.3;
    x = caption(Kind::Summary, 0, y, 10, QStringLiteral("备注"));
    addData(Kind::Summary, QRectF(x, y, 119 + extra, rowHeight), header, QStringLiteral("remark"));
    x += 119 + extra;
    x = caption(Kind::Summary, x, y, 17, out ? QStringLiteral("收款金额") : QStringLiteral("付款金额"));
    addData(Kind::Summary, QRectF(x, y, 44, rowHeight), header, QStringLiteral("fact_tota"));

    y = 13.3;
    const double pairWidth = width / 6;
    const QList<std::pair<QString, QString>> people = {
        {QStringLiteral("制单"), QStringLiteral("oper_name")}, {QStringLiteral("经手"), QStringLiteral("hand_name")},
        {QStringLiteral("复核"), QStringLiteral("chek_name")}, {QStringLiteral("业务"), QStringLiteral("rela_name")},
        {QStringLiteral("发货"), QStringLiteral("send_name")}, {QStringLiteral("收货"), QStringLiteral("rece_name")}};
    x = 0;
    for (const auto& [text, name] : people) {
        caption(Kind::Summary, x, y, 10, text);
        addData(Kind::Summary, QRectF(x + 10, y, pairWidth - 10, rowHeight), header, name);
        x += pairWidth;
    }

    addLabel(Kind::Summary, QRectF(0, 19.3, width, rowHeight), QString(), Qt::AlignLeft, QStringLiteral("QRLabel11"));
}
