#include "masterdata/TFrmMarkdown.h"

#include "core/Clock.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "shop/MarkdownRules.h"
#include "ui/BusyCursor.h"
#include "ui/DbComboBox.h"
#include "ui/DbDateEdit.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/WindowPlacement.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

MasterDataWindow::Setup markdownSetup()
{
    MasterDataWindow::Setup s;
    s.dataset = dataModule().MarkdownQ;
    s.table = QStringLiteral("markdown");
    s.codeField = QStringLiteral("mark_name");
    s.codeCaption = QStringLiteral("促销名称");
    s.findLabel = QStringLiteral("促销名称");
    s.position = Function::Markdowns;
    s.uses = {{"outgoods", "mark_name", QStringLiteral("销售单明细")},
              {"ingoods", "mark_name", QStringLiteral("顾客退货单明细")}};
    s.importKind.reset();
    return s;
}

ui::DbDateEdit* dateBox(QWidget* parent, const char* name, db::Dataset* dataset, const char* field)
{
    auto* box = new ui::DbDateEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->bind(dataset, QLatin1String(field));
    return box;
}

} // namespace

TFrmMarkdown::TFrmMarkdown(QWidget* parent)
    : MasterDataWindow(markdownSetup(), parent)
{
    setObjectName(QStringLiteral("FrmMarkdown"));
    setWindowTitle(QStringLiteral("促销折扣"));
    dataGroup->setTitle(QStringLiteral("促销规则"));

    startDateEdit = dateBox(dataGroup, "DBstart_date", dataset(), "start_date");
    endDateEdit = dateBox(dataGroup, "DBend_date", dataset(), "end_date");
    scopeBox = makeCombo(QStringLiteral("DBscope"), QStringLiteral("scope"));
    scopeBox->addItems(MarkdownRules::scopes());
    scopeBox->lineEdit()->setReadOnly(true);
    scopeValueBox = makeCombo(QStringLiteral("DBscope_value"), QStringLiteral("scope_value"));
    discountEdit = makeEdit(QStringLiteral("DBEdit2"), QStringLiteral("discount"));
    discountEdit->setToolTip(QStringLiteral("按售价的百分比，如 70 即 7 折；与一口价只填一个"));
    fixedPriceEdit = makeEdit(QStringLiteral("DBEdit3"), QStringLiteral("fixed_pric"));
    fixedPriceEdit->setToolTip(QStringLiteral("不论售价，一律按这个价格卖；与折扣只填一个"));
    addField(QStringLiteral("促销名称"), codeEdit, true);
    addField(QStringLiteral("开始日期"), startDateEdit);
    addField(QStringLiteral("结束日期"), endDateEdit);
    addField(QStringLiteral("范围"), scopeBox);
    addField(QStringLiteral("范围值"), scopeValueBox);
    addField(QStringLiteral("折扣%"), discountEdit);
    addField(QStringLiteral("一口价"), fixedPriceEdit);
    connect(scopeBox, &QComboBox::currentTextChanged, this, &TFrmMarkdown::fillScopeValues);

    listGrid->addColumn(QStringLiteral("mark_name"), QStringLiteral("促销名称"), 180);
    listGrid->addColumn(QStringLiteral("start_date"), QStringLiteral("开始日期"), 100);
    listGrid->addColumn(QStringLiteral("end_date"), QStringLiteral("结束日期"), 100);
    listGrid->addColumn(QStringLiteral("scope"), QStringLiteral("范围"), 60);
    listGrid->addColumn(QStringLiteral("scope_value"), QStringLiteral("范围值"), 120);
    listGrid->addColumn(QStringLiteral("discount"), QStringLiteral("折扣%"), 70);
    listGrid->addColumn(QStringLiteral("fixed_pric"), QStringLiteral("一口价"), 80);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolBarLayout());
    layout->addWidget(findGroup);
    layout->addWidget(dataGroup);
    layout->addWidget(listGrid, 1);
    listGrid->setMinimumHeight(11 * listGrid->verticalHeader()->defaultSectionSize() + 2 * listGrid->frameWidth());
    ensurePolished();
    ui::setFixedWindowSize(this, 760, qMax(520, layout->totalSizeHint().height()));

    // A new rule starts today and covers a 款号 until it is told otherwise.
    dataset()->addHook(db::Dataset::Hook::NewRecord, this, [](db::Dataset& q) {
        const QDateTime today(Clock::today(), QTime(0, 0));
        q.setValue(QStringLiteral("start_date"), today);
        q.setValue(QStringLiteral("end_date"), today);
        q.setValue(QStringLiteral("scope"), MarkdownRules::scopes().first());
    });

    const ui::BusyCursor busy;
    openDataset(QStringLiteral("select * from markdown order by mark_name"));
    setMode(Mode::Browsing);
    fillScopeValues();
}

void TFrmMarkdown::fillScopeValues()
{
    const QString scope = scopeBox->currentText().trimmed();
    scopeValueBox->clear();
    scopeValueBox->addItems(MarkdownRules::scopeValues(dataset()->connection(), scope));
    scopeValueBox->setEnabled(scope != MarkdownRules::everyGoods);
}

bool TFrmMarkdown::acceptRow()
{
    // A rule for every goods names no value.
    if (scopeBox->currentText().trimmed() == MarkdownRules::everyGoods)
        dataset()->setValue(QStringLiteral("scope_value"), QVariant());
    const QStringList fields{QStringLiteral("mark_name"), QStringLiteral("start_date"), QStringLiteral("end_date"),
                             QStringLiteral("scope"),     QStringLiteral("scope_value"), QStringLiteral("discount"),
                             QStringLiteral("fixed_pric")};
    const QHash<QString, QVariant> values = rowValues(fields);
    return acceptRefusals(MarkdownRules::check(dataset()->connection(), values), values);
}

void TFrmMarkdown::afterCancel()
{
    dataset()->locate(QStringLiteral("mark_name"), codeEdit->text().trimmed());
}
