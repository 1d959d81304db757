#include "statistics/ListingWindow.h"

#include "core/DataHelpers.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "reports/ReportLayout.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using WindowParts::named;

namespace {

QComboBox* filterBox(const char* name)
{
    auto* box = named<QComboBox>(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(8);
    return box;
}

QGroupBox* codeAndName(const QString& title, QComboBox* code, QComboBox* name)
{
    auto* group = new QGroupBox(title);
    auto* grid = new QGridLayout(group);
    WindowParts::addLabelled(grid, {{QStringLiteral("编码"), code}, {QStringLiteral("名称"), name}}, 1);
    return group;
}

void setBoxText(QComboBox* box, const QString& text)
{
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

bool filled(const QComboBox* code, const QComboBox* name)
{
    return !code->currentText().trimmed().isEmpty() || !name->currentText().trimmed().isEmpty();
}

} // namespace

ListingWindow::ListingWindow(Kind kind, QWidget* parent)
    : StatisticsWindow(kind.caption, kind.name, kind.dataset, kind.rightPosition, parent), m_kind(std::move(kind))
{
    goodsCodeBox = filterBox("ComboBox1");
    goodsNameBox = filterBox("ComboBox2");
    companyCodeBox = filterBox("ComboBox3");
    companyNameBox = filterBox("ComboBox4");
    allRadio = radio("RadioButton1", QStringLiteral("全部"), true);
    ownRadio = radio("RadioButton2", m_kind.ownCaption);
    returnRadio = radio("RadioButton3", m_kind.returnCaption);

    auto* dateGroup = new QGroupBox(QStringLiteral("日期范围"));
    auto* dateRow = new QHBoxLayout(dateGroup);
    auto* dateLabel = new QLabel(QStringLiteral("日期"));
    dateLabel->setBuddy(fromDateEdit);
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(fromDateEdit);
    dateRow->addWidget(new QLabel(QStringLiteral("-")));
    dateRow->addWidget(toDateEdit);

    auto* filters = new QHBoxLayout;
    filters->addWidget(codeAndName(QStringLiteral("按货品属性统计"), goodsCodeBox, goodsNameBox), 2);
    filters->addWidget(codeAndName(QStringLiteral("按客户统计"), companyCodeBox, companyNameBox), 2);
    filters->addWidget(radioGroup(m_kind.typeGroup, {allRadio, ownRadio, returnRadio}));
    filters->addWidget(dateGroup);

    setColumns({{"bill_no", QStringLiteral("流水号"), 125},  {"comp_code", QStringLiteral("公司编码"), 70},
                {"comp_name", QStringLiteral("公司名称"), 120}, {"gods_code", QStringLiteral("货品编码"), 80},
                {"gods_name", QStringLiteral("货品名称"), 120}, {"gods_kind", QStringLiteral("分类"), 60},
                {"gods_spec", QStringLiteral("品牌"), 60},      {"gods_type", QStringLiteral("款式"), 60},
                {"gods_color", QStringLiteral("颜色"), 50},     {"gods_size", QStringLiteral("尺码"), 50},
                {"gods_unit", QStringLiteral("单位"), 40},      {"unit_pric", QStringLiteral("单价"), 60},
                {"sub_amou", QStringLiteral("数量"), 60},       {"sub_tota", QStringLiteral("小计"), 80}});

    auto* totalsRow = new QGridLayout;
    WindowParts::addLabelled(totalsRow, {{QStringLiteral("合计数量"), quantityTotalEdit}, {QStringLiteral("合计金额"), amountTotalEdit}}, 2);

    auto* rows = new QVBoxLayout(this);
    rows->addLayout(toolBar());
    rows->addLayout(filters);
    rows->addWidget(resultGrid, 1);
    rows->addLayout(totalsRow);

    FormCreate();

    connect(goodsCodeBox, &QComboBox::currentTextChanged, this, &ListingWindow::showGoodsName);
    connect(goodsNameBox, &QComboBox::currentTextChanged, this, &ListingWindow::showGoodsCode);
    connect(companyCodeBox, &QComboBox::currentTextChanged, this, &ListingWindow::showCompanyName);
    connect(companyNameBox, &QComboBox::currentTextChanged, this, &ListingWindow::showCompanyCode);
}

void ListingWindow::FormCreate()
{
    const ui::BusyCursor busy;
    DataHelpers::adjustComboBoxes(this);
    DataHelpers::fillCombo(QStringLiteral("goods"), QStringLiteral("gods_code"), goodsCodeBox);
    DataHelpers::fillCombo(QStringLiteral("goods"), QStringLiteral("gods_name"), goodsNameBox);
    DataHelpers::fillCombo(QStringLiteral("company"), QStringLiteral("comp_code"), companyCodeBox);
    DataHelpers::fillCombo(QStringLiteral("company"), QStringLiteral("comp_name"), companyNameBox);
    // The line amount is worked out while this window is open; the hook goes with it.
    dataset()->addHook(db::Dataset::Hook::Calculate, this, [](db::Dataset& lines) {
        lines.setCalculated(QStringLiteral("sub_tota"), lines.number(QStringLiteral("unit_pric"))
                                                            * lines.number(QStringLiteral("sub_amou")));
    });
}

void ListingWindow::follow(QComboBox* partner, const QString& value, QComboBox* otherCode, QComboBox* otherName)
{
    setBoxText(otherCode, QString());
    setBoxText(otherName, QString());
    setBoxText(partner, value);
}

void ListingWindow::showGoodsName()
{
    const QString code = goodsCodeBox->currentText();
    if (!code.isEmpty())
        follow(goodsNameBox, DataHelpers::lookup(QStringLiteral("goods"), QStringLiteral("gods_code"), code,
                                              QStringLiteral("gods_name")),
               companyCodeBox, companyNameBox);
}

void ListingWindow::showGoodsCode()
{
    const QString name = goodsNameBox->currentText();
    if (!name.isEmpty())
        follow(goodsCodeBox, DataHelpers::lookup(QStringLiteral("goods"), QStringLiteral("gods_name"), name,
                                              QStringLiteral("gods_code")),
               companyCodeBox, companyNameBox);
}

void ListingWindow::showCompanyName()
{
    const QString code = companyCodeBox->currentText();
    if (!code.isEmpty())
        follow(companyNameBox, DataHelpers::lookup(QStringLiteral("company"), QStringLiteral("comp_code"), code,
                                              QStringLiteral("comp_name")),
               goodsCodeBox, goodsNameBox);
}

void ListingWindow::showCompanyCode()
{
    const QString name = companyNameBox->currentText();
    if (!name.isEmpty())
        follow(companyCodeBox, DataHelpers::lookup(QStringLiteral("company"), QStringLiteral("comp_name"), name,
                                              QStringLiteral("comp_code")),
               goodsCodeBox, goodsNameBox);
}

statistics::Query ListingWindow::query() const
{
    statistics::ListingFilter filter;
    filter.dates = dates();
    filter.type = billType(ownRadio, returnRadio);
    // A name whose goods or company is unknown leaves the code blank, which lists nothing.
    filter.byGoods = filled(goodsCodeBox, goodsNameBox);
    filter.goodsCode = goodsCodeBox->currentText().trimmed();
    filter.byCompany = filled(companyCodeBox, companyNameBox);
    filter.companyCode = companyCodeBox->currentText().trimmed();
    return statistics::listingQuery(m_kind.tables, filter);
}

statistics::Totals ListingWindow::totals() const
{
    return statistics::listingTotals(*dataset());
}

ReportLayout& ListingWindow::reportLayout() const
{
    return m_kind.report();
}

StatisticsWindow::Labels ListingWindow::choiceLabels() const
{
    return {{QStringLiteral("gods_code"), goodsCodeBox->currentText()},
            {QStringLiteral("gods_name"), goodsNameBox->currentText()},
            {QStringLiteral("comp_no"), companyCodeBox->currentText()},
            {QStringLiteral("comp_name"), companyNameBox->currentText()},
            {m_kind.typeLabel, m_kind.typeTexts.value(int(billType(ownRadio, returnRadio)))}};
}
