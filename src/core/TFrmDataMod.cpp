#include "core/TFrmDataMod.h"

#include "core/DataHelpers.h"

namespace {

TFrmDataMod* theInstance = nullptr;


const QStringList billHeaderFields = {
    "in_id", "bill_no", "vouc_no", "bill_date", "comp_code", "mone_type", "mone_rate", "fee_type",
    "hand_code", "chek_code", "oper_code", "send_code", "rece_code", "rela_code", "fact_tota",
    "shou_tota", "remark", "bill_type", "card_no"};
const QStringList billLineFields = {"in_id", "bill_no", "gods_code", "sub_amou", "unit_pric", "remark"};
// A stored line also keeps its list price and markdown; the print copy does not.
const QStringList storedLineFields = billLineFields + QStringList{"list_pric", "mark_name"};
const QStringList stockFields = {"gods_code", "gods_amou", "cost_pric"};
const QStringList settlementFields = {"bill_no", "bill_date", "oper_name", "comp_code", "shou_tota", "fact_tota"};
const QStringList movementFields = {"gods_code", "last_amou", "in_amou", "out_amou", "now_amou"};

void addFields(db::Dataset* dataset, const QStringList& names)
{
    for (const QString& name : names)
        dataset->addField(name);
}

// Quantities, prices and amounts of a list show at most two decimals.
void formatAmounts(db::Dataset* dataset, const QStringList& names)
{
    for (const QString& name : names)
        dataset->setDisplayFormat(name, DataHelpers::amountFormat);
}

} // namespace

TFrmDataMod* TFrmDataMod::instance()
{
    return theInstance;
}

db::Dataset* TFrmDataMod::make(const QString& name, const QString& sql, db::Dataset::Locking locking)
{
    auto* dataset = new db::Dataset(AdoConn, name, this);
    dataset->setSql(sql);
    dataset->setLocking(locking);
    m_datasets.append(dataset);
    return dataset;
}

void TFrmDataMod::addGoodsLookups(db::Dataset* dataset)
{
    for (const char* column : {"gods_name", "gods_spec", "gods_type", "gods_kind", "gods_unit", "gods_color", "gods_size"})
        dataset->addLookupField(QString::fromLatin1(column), QStringLiteral("gods_code"), GoodsQ,
                                QStringLiteral("gods_code"), QString::fromLatin1(column));
}

void TFrmDataMod::addCompanyName(db::Dataset* dataset)
{
    dataset->addLookupField(QStringLiteral("comp_name"), QStringLiteral("comp_code"), CompanyQ,
                            QStringLiteral("comp_code"), QStringLiteral("comp_name"));
}

TFrmDataMod::TFrmDataMod(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("FrmDataMod"));
    theInstance = this;
    using L = db::Dataset::Locking;
    const auto optimistic = L::Optimistic;
    const auto batch = L::Batch;

    TempQ = make("TempQ", {}, optimistic);
    EmployeeQ = make("EmployeeQ", "select * from employee", optimistic);
    CompanyQ = make("CompanyQ", "select * from company", optimistic);
    MemberQ = make("MemberQ", "select * from member", optimistic);
    MarkdownQ = make("MarkdownQ", "select * from markdown", optimistic);

    GoodsQ = make("GoodsQ", "select * from goods", optimistic);
    addFields(GoodsQ, {"in_id", "gods_code", "gods_name", "gods_spec", "gods_type", "gods_color", "gods_size",
                       "gods_in", "gods_face", "gods_kind", "pack_unit", "gods_unit", "mate_pric", "mach_pric",
                       "batch_out", "valu_in", "valu_out", "max_amou", "min_amou", "prod_place", "prod_code",
                       "supp_code", "agent_pric", "touch_code", "gods_note", "styl_code", "bar_code", "season"});
    GoodsQ->addLookupField("supp_name", "supp_code", CompanyQ, "comp_code", "comp_name");
    GoodsQ->addLookupField("prod_name", "prod_code", CompanyQ, "comp_code", "comp_name");

    GoodsFindQ = make("GoodsFindQ", "select * from goods", optimistic);
    InFindQ = make("InFindQ", "select * from inmain", optimistic);

    const auto addHeader = [this](db::Dataset* header) {
        addFields(header, billHeaderFields);
        addCompanyName(header);
        const QStringList people = {"hand", "chek", "oper", "send", "rece", "rela"};
        for (const QString& who : people)
            header->addLookupField(who + "_name", who + "_code", EmployeeQ, "empl_code", "empl_name");
    };
    const auto addLines = [this](db::Dataset* lines, const QStringList& fields) {
        addFields(lines, fields);
        addGoodsLookups(lines);
        lines->addCalculatedField("sub_tota");
        formatAmounts(lines, {"sub_amou", "unit_pric", "sub_tota"});
    };

    InMainQ = make("InMainQ", "select * from inmain", batch);
    addHeader(InMainQ);
    InGoodsQ = make("InGoodsQ", "select * from ingoods", batch);
    addLines(InGoodsQ, storedLineFields);

    StoreQ = make("StoreQ", "select * from storemain", optimistic);
    addFields(StoreQ, stockFields);
    addGoodsLookups(StoreQ);
    StoreQ->addLookupField("styl_code", "gods_code", GoodsQ, "gods_code", "styl_code");
    StoreQ->addCalculatedField("cost_tota");
    formatAmounts(StoreQ, {"gods_amou", "cost_pric", "cost_tota"});

    OutMainQ = make("OutMainQ", "select * from outmain limit 1", batch);
    addHeader(OutMainQ);
    OutMainQ->addLookupField("rela_phon", "comp_code", CompanyQ, "comp_code", "rela_phon");
    OutGoodsQ = make("OutGoodsQ", "select * from outgoods limit 1", batch);
    addLines(OutGoodsQ, storedLineFields);
    OutTempQ = make("OutTempQ", "select * from outgoods limit 1", optimistic);
    addLines(OutTempQ, billLineFields);
    OutFindQ = make("OutFindQ", "select * from outmain", optimistic);

    const auto addListing = [this](db::Dataset* listing, const QStringList& fields) {
        addFields(listing, fields);
        addGoodsLookups(listing);
        addCompanyName(listing);
        listing->addCalculatedField("sub_tota");
        formatAmounts(listing, {"unit_pric", "sub_amou", "sub_tota"});
    };
    // Every bill line counts, even two that happen to be equal: no "distinct" here.
    OutListQ = make("OutListQ",
                    "select a.comp_code,b.bill_no,b.gods_code,b.unit_pric,b.sub_amou "
                    "from outmain a inner join outgoods b on a.bill_no=b.bill_no",
                    optimistic);
    addListing(OutListQ, {"comp_code", "bill_no", "gods_code", "unit_pric", "sub_amou"});

    InListQ = make("InListQ",
                   "select b.bill_no,a.comp_code,b.gods_code,b.unit_pric,b.sub_amou "
                   "from inmain a inner join ingoods b on a.bill_no=b.bill_no",
                   optimistic);
    addListing(InListQ, {"bill_no", "comp_code", "gods_code", "unit_pric", "sub_amou"});

    OutSortQ = make("OutSortQ",
                    "select b.gods_code,sum(b.sub_amou) as sub_amou,avg(unit_pric) as unit_pric,"
                    "sum(b.unit_pric*b.sub_amou) as sub_tota from outmain a inner join outgoods b "
                    "on a.bill_no=b.bill_no group by gods_code order by 2",
                    optimistic);
    OutSortQ->addField("gods_code");
    OutSortQ->addField("sub_amou", db::FieldType::Double);
    OutSortQ->addField("unit_pric", db::FieldType::Double);
    OutSortQ->addField("sub_tota", db::FieldType::Double);
    addGoodsLookups(OutSortQ);
    formatAmounts(OutSortQ, {"sub_amou", "unit_pric", "sub_tota"});

    OutSortCQ = make("OutSortCQ",
                     "select comp_code,sum(b.sub_amou) as sub_amou,sum(b.unit_pric*b.sub_amou) as sub_tota "
                     "from outmain a inner join outgoods b on a.bill_no=b.bill_no group by comp_code order by 2",
                     batch);
    OutSortCQ->addField("comp_code");
    OutSortCQ->addField("sub_amou", db::FieldType::Double);
    OutSortCQ->addField("sub_tota", db::FieldType::Double);
    addCompanyName(OutSortCQ);
    OutSortCQ->addLookupField("head_name", "comp_code", CompanyQ, "comp_code", "head_name");
    formatAmounts(OutSortCQ, {"sub_amou", "sub_tota"});

    ChektempQ = make("ChektempQ", "select  * from chektemp", optimistic);
    addFields(ChektempQ, {"gods_code", "gods_amou", "chek_amou", "chek_date"});
    addGoodsLookups(ChektempQ);
    ChektempQ->addCalculatedField("lost_amou");
    formatAmounts(ChektempQ, {"gods_amou", "chek_amou", "lost_amou"});

    StoreiniQ = make("StoreiniQ", "select * from storemain", batch);
    addFields(StoreiniQ, stockFields);
    addGoodsLookups(StoreiniQ);
    formatAmounts(StoreiniQ, {"gods_amou", "cost_pric"});

    AlarmQ = make("AlarmQ", "select * from storemain", batch);
    addFields(AlarmQ, {"gods_code", "gods_amou"});
    addGoodsLookups(AlarmQ);
    AlarmQ->addLookupField("max_amou", "gods_code", GoodsQ, "gods_code", "max_amou", db::FieldType::Double);
    AlarmQ->addLookupField("min_amou", "gods_code", GoodsQ, "gods_code", "min_amou", db::FieldType::Double);
    formatAmounts(AlarmQ, {"gods_amou", "max_amou", "min_amou"});

    // in_amou of the movement lists has no display format.
    const auto makeMovement = [&](const QString& name, const QString& sql) {
        db::Dataset* movement = make(name, sql, optimistic);
        addFields(movement, movementFields);
        addGoodsLookups(movement);
        formatAmounts(movement, {"last_amou", "out_amou", "now_amou"});
        return movement;
    };
    MiosQ = makeMovement("MiosQ", "select  * from mios");
    MiostempQ = makeMovement("MiostempQ", "select  * from miostemp");

    GathQ = make("GathQ", "select  bill_no,bill_date,oper_name,comp_code,shou_tota,fact_tota from outmain", optimistic);
    PayQ = make("PayQ", "select  bill_no,bill_date,oper_name,comp_code,shou_tota,fact_tota from inmain", optimistic);
    for (db::Dataset* settlement : {GathQ, PayQ}) {
        addFields(settlement, settlementFields);
        addCompanyName(settlement);
        settlement->addCalculatedField("margin");
        formatAmounts(settlement, {"shou_tota", "fact_tota", "margin"});
    }

    GathMainQ = make("GathMainQ", "select * from gathmain limit 1", optimistic);
    PayMainQ = make("PayMainQ", "select * from paymain limit 1", optimistic);

    PowerQ = make("PowerQ", "select * from powers", optimistic);
    addFields(PowerQ, {"user_id", "password", "dept_name", "pow_use", "pow_add", "pow_edit", "pow_dele",
                       "pow_chek", "pow_find", "pow_prin", "pass_hash"});
    PowerQ->addLookupField("user_name", "user_id", EmployeeQ, "empl_code", "empl_name");

    UserQ = make("UserQ", "select * from userinfo limit 1", optimistic);

    FeeDefiQ = make("FeeDefiQ", "select distinct fee_code,fee_type from baseitem", batch);
    MoneDefQ = make("MoneDefQ", "select distinct mone_code,mone_type,mone_rate from baseitem", batch);
    TypeDefiQ = make("TypeDefiQ", "select distinct gods_type_id,gods_type from baseitem", batch);
    KindDefiQ = make("KindDefiQ", "select distinct gods_kind_id,gods_kind from baseitem", batch);
    SpecDefiQ = make("SpecDefiQ", "select distinct gods_spec_id,gods_spec from baseitem", batch);
    ColorDefiQ = make("ColorDefiQ", "select distinct gods_color_id,gods_color from baseitem", batch);
    SizeDefiQ = make("SizeDefiQ", "select distinct gods_size_id,gods_size from baseitem", batch);
    UnitDefiQ = make("UnitDefiQ", "select distinct gods_unit_id,gods_unit from baseitem", batch);
    ProdDefiQ = make("ProdDefiQ", "select distinct prod_place_id,prod_place from baseitem", batch);

    // Read only: the change log is never edited through a dataset.
    OperLogQ = make("OperLogQ", "select * from oper_log order by log_time,log_id", optimistic);
    addFields(OperLogQ, {"log_id", "log_time", "user_id", "win_name", "act_name", "log_key", "summary", "detail"});

    // Read only: the ageing of receivables or payables, one row per company.
    // Until the ageing window gives it its statement: the columns, no rows.
    db::Dataset* AgeingQ = make("AgeingQ",
                                "select comp_code,comp_name,rest_tota as age_30,rest_tota as age_60,rest_tota as age_90,"
                                "rest_tota as age_over,rest_tota as open_tota,rest_tota from company where 1=0",
                                optimistic);
    addFields(AgeingQ, {"comp_code", "comp_name"});
    for (const char* amount : {"age_30", "age_60", "age_90", "age_over", "open_tota"})
        AgeingQ->addField(QString::fromLatin1(amount), db::FieldType::Double);
    addFields(AgeingQ, {"rest_tota"});
    formatAmounts(AgeingQ, {"age_30", "age_60", "age_90", "age_over", "open_tota", "rest_tota"});

    // A company's statement as the window draws it up: lines held in memory
    // (appended in batch and never written), so that it prints and exports as a list.
    db::Dataset* CompDetailQ =
        make("CompDetailQ",
             "select fei_date as line_date,fei_no as kind,fei_no as number,fei_tota as increase,fei_tota as decrease,"
             "fei_tota as credit,fei_tota as balance from gathmain where 1=0",
             batch);
    CompDetailQ->addField(QStringLiteral("line_date"), db::FieldType::DateTime);
    for (const char* text : {"kind", "number"})
        CompDetailQ->addField(QString::fromLatin1(text), db::FieldType::String);
    for (const char* amount : {"increase", "decrease", "credit", "balance"})
        CompDetailQ->addField(QString::fromLatin1(amount), db::FieldType::Double);
    formatAmounts(CompDetailQ, {"increase", "decrease", "credit", "balance"});
}

TFrmDataMod::~TFrmDataMod()
{
    closeAll();
    if (theInstance == this)
        theInstance = nullptr;
}

db::Dataset* TFrmDataMod::dataset(const QString& name) const
{
    for (db::Dataset* d : m_datasets)
        if (d->objectName() == name)
            return d;
    return nullptr;
}

void TFrmDataMod::closeAll()
{
    for (db::Dataset* d : m_datasets)
        d->close();
}
