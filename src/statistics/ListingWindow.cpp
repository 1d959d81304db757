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
    ComboBox1 = filterBox("ComboBox1");
    ComboBox2 = filterBox("ComboBox2");
    ComboBox3 = filterBox("ComboBox3");
    ComboBox4 = filterBox("ComboBox4");
    RadioButton1 = radio("RadioButton1", QStringLiteral("全部"), true);
    RadioButton2 = radio("RadioButton2", m_kind.ownCaption);
    RadioButton3 = radio("RadioButton3", m_kind.returnCaption);

    auto* dateGroup = new QGroupBox(QStringLiteral("日期范围"));
    auto* dateRow = new QHBoxLayout(dateGroup);
    auto* dateLabel = new QLabel(QStringLiteral("日期"));
    dateLabel->setBuddy(DP1);
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(DP1);
    dateRow->addWidget(new QLabel(QStringLiteral("-")));
    dateRow->addWidget(DP2);

    auto* filters = new QHBoxLayout;
    filters->addWidget(codeAndName(QStringLiteral("按货品属性统计"), ComboBox1, ComboBox2), 2);
    filters->addWidget(codeAndName(QStringLiteral("按客户统计"), ComboBox3, ComboBox4), 2);
    filters->addWidget(radioGroup(m_kind.typeGroup, {RadioButton1, RadioButton2, RadioButton3}));
    filters->addWidget(dateGroup);

    setColumns({{"bill_no", QStringLiteral("流水号"), 125},  {"comp_code", QStringLiteral("公司编码"), 70},
                {"comp_name", QStringLiteral("公司名称"), 120}, {"gods_code", QStringLiteral("货品编码"), 80},
                {"gods_name", QStringLiteral("货品名称"), 120}, {"gods_kind", QStringLiteral("分类"), 60},
                {"gods_spec", QStringLiteral("品牌"), 60},      {"gods_type", QStringLiteral("款式"), 60},
                {"gods_color", QStringLiteral("颜色"), 50},     {"gods_size", QStringLiteral("尺码"), 50},
                {"gods_unit", QStringLiteral("单位"), 40},      {"unit_pric", QStringLiteral("单价"), 60},
                {"sub_amou", QStringLiteral("数量"), 60},       {"sub_tota", QStringLiteral("小计"), 80}});

    auto* totalsRow = new QGridLayout;
    WindowParts::addLabelled(totalsRow, {{QStringLiteral("合计数量"), Edit1}, {QStringLiteral("合计金额"), Edit2}}, 2);

    auto* rows = new QVBoxLayout(this);
    rows->addLayout(toolBar());
    rows->addLayout(filters);
    rows->addWidget(DBGrid1, 1);
    rows->addLayout(totalsRow);

    FormCreate();

    connect(ComboBox1, &QComboBox::currentTextChanged, this, &ListingWindow::ComboBox1Change);
    connect(ComboBox2, &QComboBox::currentTextChanged, this, &ListingWindow::ComboBox2Change);
    connect(ComboBox3, &QComboBox::currentTextChanged, this, &ListingWindow::ComboBox3Change);
    connect(ComboBox4, &QComboBox::currentTextChanged, this, &ListingWindow::ComboBox4Change);
}

void ListingWindow::FormCreate()
{
    const ui::BusyCursor busy;
    DataHelpers::adjustComboBoxes(this);
    DataHelpers::fillCombo(QStringLiteral("goods"), QStringLiteral("gods_code"), ComboBox1);
    DataHelpers::fillCombo(QStringLiteral("goods"), QStringLiteral("gods_name"), ComboBox2);
    DataHelpers::fillCombo(QStringLiteral("company"), QStringLiteral("comp_code"), ComboBox3);
    DataHelpers::fillCombo(QStringLiteral("company"), QStringLiteral("comp_name"), ComboBox4);
    // The line amount is worked out while this window is open; the hook goes with it.
    dataset()->addHook(db::Dataset::Hook::Calculate, this, [](db::Dataset& lines) {
        lines.setCalculated(QStringLiteral("sub_tota"), lines.number(QStringLiteral("unit_pric"))
                                                            * lines.number(QStringLiteral("sub_amou")));
    });
}

void ListingWindow::follow(QComboBox* partner, const QString& value, QComboBox* other1, QComboBox* other2)
{
    setBoxText(other1, QString());
    setBoxText(other2, QString());
    setBoxText(partner, value);
}

void ListingWindow::ComboBox1Change()
{
    const QString code = ComboBox1->currentText();
    if (!code.isEmpty())
        follow(ComboBox2, DataHelpers::lookup(QStringLiteral("goods"), QStringLiteral("gods_code"), code,
                                              QStringLiteral("gods_name")),
               ComboBox3, ComboBox4);
}

void ListingWindow::ComboBox2Change()
{
    const QString name = ComboBox2->currentText();
    if (!name.isEmpty())
        follow(ComboBox1, DataHelpers::lookup(QStringLiteral("goods"), QStringLiteral("gods_name"), name,
                                              QStringLiteral("gods_code")),
               ComboBox3, ComboBox4);
}

void ListingWindow::ComboBox3Change()
{
    const QString code = ComboBox3->currentText();
    if (!code.isEmpty())
        follow(ComboBox4, DataHelpers::lookup(QStringLiteral("company"), QStringLiteral("comp_code"), code,
                                              QStringLiteral("comp_name")),
               ComboBox1, ComboBox2);
}

void ListingWindow::ComboBox4Change()
{
    const QString name = ComboBox4->currentText();
    if (!name.isEmpty())
        follow(ComboBox3, DataHelpers::lookup(QStringLiteral("company"), QStringLiteral("comp_name"), name,
                                              QStringLiteral("comp_code")),
               ComboBox1, ComboBox2);
}

statistics::Query ListingWindow::query() const
{
    statistics::ListingFilter filter;
    filter.dates = dates();
    filter.type = billType(RadioButton2, RadioButton3);
    // A name whose goods or company is unknown leaves the code blank, which lists nothing.
    filter.byGoods = filled(ComboBox1, ComboBox2);
    filter.goodsCode = ComboBox1->currentText().trimmed();
    filter.byCompany = filled(ComboBox3, ComboBox4);
    filter.companyCode = ComboBox3->currentText().trimmed();
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
    return {{QStringLiteral("gods_code"), ComboBox1->currentText()},
            {QStringLiteral("gods_name"), ComboBox2->currentText()},
            {QStringLiteral("comp_no"), ComboBox3->currentText()},
            {QStringLiteral("comp_name"), ComboBox4->currentText()},
            {m_kind.typeLabel, m_kind.typeTexts.value(int(billType(RadioButton2, RadioButton3)))}};
}
