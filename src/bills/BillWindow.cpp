#include "bills/BillWindow.h"

#include "core/DataHelpers.h"
#include "core/Settings.h"
#include "core/TFrmDataMod.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "bills/BillFinder.h"
#include "bills/BillLineEntry.h"
#include "bills/BillMember.h"
#include "bills/BillLabels.h"
#include "bills/BillScan.h"
#include "ui/ScanBar.h"
#include "shop/BillRules.h"
#include "shop/BillStore.h"
#include "shop/Receivables.h"
#include "bills/TFrmInFind.h"
#include "bills/TFrmOutFind.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "ui/TFrmCompFind.h"
#include "ui/WindowParts.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPreview.h"
#include "ui/BusyCursor.h"
#include "ui/DatasetModel.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/EnterWalk.h"
#include "ui/FieldValue.h"
#include "ui/QuietControls.h"
#include "ui/WindowPlacement.h"

#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <memory>
#include <tuple>

using StockPosting::BillLine;
using StockPosting::raisesStock;
using WindowParts::named;

namespace {

const QString goodsCode = QStringLiteral("gods_code");

QFrame* separator()
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

BillWindow::BillWindow(const Setup& setup, QWidget* parent)
    : ui::ModeWindow(parent), m_setup(setup)
{
    TFrmDataMod& dm = dataModule();
    const bool in = raisesStock(setup.kind);
    m_header = in ? dm.InMainQ : dm.OutMainQ;
    m_lines = in ? dm.InGoodsQ : dm.OutGoodsQ;
    setObjectName(QString::fromLatin1(setup.objectName));
    setWindowTitle(setup.caption);
    buildLayout();
    FormCreate();
}

BillWindow::~BillWindow()
{
    // No hook of a closed window may run, not even while its widgets go.
    for (db::Dataset* d : {m_header, m_lines, dataModule().OutTempQ})
        d->removeHooks(this);
}

// ---------------------------------------------------------------- layout

void BillWindow::buildLayout()
{
    auto* bar = new QHBoxLayout;
    const auto button = [&](const char* name, WindowParts::Command command) {
        QPushButton* b = WindowParts::addCommand(bar, name, command);
        b->setFixedWidth(75);
        return b;
    };
    cmd_add = button("cmd_add", WindowParts::Command::Add);
    cmd_edit = button("cmd_edit", WindowParts::Command::Edit);
    cmd_dele = button("cmd_dele", WindowParts::Command::Delete);
    bar->addWidget(separator());
    cmd_find = button("cmd_find", WindowParts::Command::Find);
    cmd_prin = button("cmd_prin", WindowParts::Command::Print);
    bar->addWidget(separator());
    cmd_save = button("cmd_save", WindowParts::Command::Save);
    cmd_canc = button("cmd_canc", WindowParts::Command::Cancel);
    bar->addWidget(separator());
    cmd_exit = button("cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();

    linesGrid = named<ui::DbGrid>("DBGrid1", this);
    const QList<std::pair<const char*, QString>> columns = {
        {"gods_code", QStringLiteral("货品编码")}, {"gods_name", QStringLiteral("货品名称")},
        {"gods_kind", QStringLiteral("分类")},     {"gods_spec", QStringLiteral("品牌")},
        {"gods_type", QStringLiteral("款式")},     {"gods_color", QStringLiteral("颜色")},
        {"gods_size", QStringLiteral("尺码")},     {"gods_unit", QStringLiteral("单位")},
        {"unit_pric", QStringLiteral("单价")},     {"sub_amou", QStringLiteral("数量")},
        {"sub_tota", QStringLiteral("小计")},      {"remark", QStringLiteral("备注")}};
    for (const auto& [field, title] : columns) {
        const QString name = QString::fromLatin1(field);
        const int width = name == QLatin1String("gods_name") ? 130 : name == QLatin1String("gods_code") ? 95 : 62;
        linesGrid->addColumn(name, title, width);
    }
    BillLineEntry::Options entry{m_setup.priceColumn, m_setup.unknownPriceClears, m_setup.stockRemarks, {}};
    if (m_setup.kind == StockPosting::BillKind::Sale) {
        // A sale's line shows the markdown that priced it.
        linesGrid->addColumn(QStringLiteral("mark_name"), QStringLiteral("促销"), 80);
        linesGrid->setColumnReadOnly(QStringLiteral("mark_name"), true);
        entry.pricer = [this](const QString& code) { return m_member->price(code, billDateEdit->date()); };
    }
    linesGrid->setDataset(m_lines);
    m_entry = new BillLineEntry(linesGrid, m_lines, entry, this);
    connect(m_entry, &BillLineEntry::failed, this,
            [this](const QString& what, const QString& why) { ui::showError(what + QStringLiteral("：") + why, this); });

    goodsButton = named<QPushButton>("goodsButton");
    goodsButton->setText(QStringLiteral("选择货品..."));
    goodsButton->setToolTip(QStringLiteral("从货品列表选取当前行的货品编码"));
    goodsButton->setAutoDefault(false);
    // Out of the Enter walk: F4 or Alt+Down in the code cell opens the picker too.
    goodsButton->setFocusPolicy(Qt::NoFocus);
    styleButton = named<QPushButton>("styleButton");
    styleButton->setText(QStringLiteral("尺码颜色(F7)..."));
    styleButton->setToolTip(QStringLiteral("按款号输入各颜色、尺码的数量"));
    styleButton->setAutoDefault(false);
    styleButton->setFocusPolicy(Qt::NoFocus);
    m_scan = new BillScan(m_entry, m_lines, this);
    m_scan->bar()->setEscapeTarget(linesGrid);
    auto* gridBar = new QHBoxLayout;
    gridBar->addWidget(m_scan->bar(), 1);
    gridBar->addWidget(styleButton);
    if (m_setup.kind == StockPosting::BillKind::Purchase) {
        labels = new BillLabels(this);
        connect(labels, &BillLabels::asked, this, [this](bool perPiece) { labels->print(m_storedBillNo, perPiece); });
        gridBar->addWidget(labels);
    }
    gridBar->addWidget(goodsButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(buildHeader());
    layout->addLayout(gridBar);
    layout->addWidget(linesGrid, 1);
    layout->addWidget(buildFooter());
    m_entry->setExit(remarkEdit);
    setWalkOrder();
    setMinimumSize(900, 620);
    ui::placeGridWindow(this, linesGrid);

    connect(cmd_add, &QPushButton::clicked, this, &BillWindow::cmd_addClick);
    connect(cmd_edit, &QPushButton::clicked, this, &BillWindow::cmd_editClick);
    connect(cmd_dele, &QPushButton::clicked, this, &BillWindow::cmd_deleClick);
    connect(cmd_save, &QPushButton::clicked, this, &BillWindow::cmd_saveClick);
    connect(cmd_canc, &QPushButton::clicked, this, &BillWindow::cmd_cancClick);
    connect(cmd_find, &QPushButton::clicked, this, &BillWindow::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &BillWindow::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &BillWindow::cmd_exitClick);
    connect(companyButton, &QPushButton::clicked, this, &BillWindow::onPickCompany);
    connect(goodsButton, &QPushButton::clicked, this, &BillWindow::onPickGoods);
    connect(styleButton, &QPushButton::clicked, this, [this] {
        try {
            m_entry->enterByStyle();
        } catch (const std::exception& e) {
            report(QStringLiteral("操作失败"), e);
        }
    });
    connect(currencyBox, &QComboBox::currentTextChanged, this, &BillWindow::onCurrencyChanged);
    // Its Enter checks the code before the walk goes on.
    companyCode->installEventFilter(this);
    ui::setWalksEnter(companyCode);
    if (QComboBox* list = keyList()) {
        list->installEventFilter(this);
        if (list->lineEdit())
            list->lineEdit()->installEventFilter(this);
    }
}

QComboBox* BillWindow::keyList() const
{
    switch (m_setup.keysToLines) {
    case KeysToLines::EnterInCurrency:
        return currencyBox;
    case KeysToLines::AnyKeyInSettlement:
        return settlementBox;
    case KeysToLines::None:
        break;
    }
    return nullptr;
}

QWidget* BillWindow::buildHeader()
{
    headerGroup = named<QGroupBox>("GB1", this);
    const auto edit = [this](const char* name, const QString& field) {
        auto* box = named<ui::DbEdit>(name, headerGroup);
        box->bind(m_header, field);
        return box;
    };
    const auto combo = [this](const char* name, const QString& field) {
        auto* box = named<ui::DbComboBox>(name, headerGroup);
        box->bind(m_header, field);
        return box;
    };
    voucherNoEdit = edit("DBEdit5", QStringLiteral("vouc_no"));
    billNoEdit = edit("DBEdit1", QStringLiteral("bill_no"));
    billNoEdit->setEnabled(false);
    billDateEdit = named<QDateEdit>("DateTimePicker1", headerGroup);
    billDateEdit->setDisplayFormat(QStringLiteral("yyyy'年'M'月'd'日'"));
    settlementBox = combo("DBComboBox8", QStringLiteral("fee_type"));
    companyCode = edit(m_setup.companyCodeBox, QStringLiteral("comp_code"));
    companyButton = named<QPushButton>(m_setup.companyButton, headerGroup);
    companyButton->setText(QStringLiteral("..."));
    companyButton->setFixedWidth(28);
    companyButton->setAutoDefault(false);
    companyButton->setFocusPolicy(Qt::NoFocus);
    companyNameEdit = edit("DBEdit6", QStringLiteral("comp_name"));
    companyNameEdit->setEnabled(false);
    companyNameEdit->setFixedWidth(m_setup.companyNameWidth);
    if (m_setup.phone) {
        phoneBox = edit("DBEdit2", QStringLiteral("rela_phon"));
        phoneBox->setEnabled(false);
    }
    currencyBox = combo("DBComboBox9", QStringLiteral("mone_type"));
    rateEdit = edit("DBEdit8", QStringLiteral("mone_rate"));
    rateEdit->setEnabled(false);

    auto* code = new QHBoxLayout;
    code->setSpacing(2);
    code->addWidget(companyCode);
    code->addWidget(companyButton);

    auto* rows = new QVBoxLayout(headerGroup);
    const auto row = [&](const QList<std::pair<QString, QWidget*>>& pairs, QLayout* codeLayout = nullptr) {
        auto* line = new QHBoxLayout;
        for (const auto& [caption, control] : pairs) {
            line->addWidget(WindowParts::caption(caption, control));
            if (control == companyCode && codeLayout)
                line->addLayout(codeLayout, 1);
            else
                line->addWidget(control, control == companyNameEdit ? 0 : 1);
        }
        rows->addLayout(line);
    };
    const auto settlement = std::pair<QString, QWidget*>{QStringLiteral("结算方式"), settlementBox};
    const auto currency = std::pair<QString, QWidget*>{QStringLiteral("币种"), currencyBox};
    QList<std::pair<QString, QWidget*>> top = {{QStringLiteral("凭 证 号"), voucherNoEdit},
                                               {QStringLiteral("单流水号"), billNoEdit},
                                               {QStringLiteral("开单日期"), billDateEdit},
                                               m_setup.currencyFirst ? currency : settlement};
    if (m_setup.kind == StockPosting::BillKind::Sale || m_setup.kind == StockPosting::BillKind::CustomerReturn) {
        m_member = new BillMember(m_header, headerGroup);
        connect(m_member, &BillMember::taken, this, [this] { focusNextChild(); });
        // Lines priced for the member before follow the one chosen now.
        connect(m_member, &BillMember::changed, this, [this](const QString& before) {
            m_entry->reprice([this, before](const QString& code) {
                return LinePricing::price(m_header->connection(), code, billDateEdit->date(), before);
            });
        });
        top.append({QStringLiteral("会员"), m_member->box()});
    }
    QList<std::pair<QString, QWidget*>> second = {{QStringLiteral("客户编码"), companyCode},
                                                  {m_setup.companyCaption, companyNameEdit}};
    if (phoneBox)
        second.append({QStringLiteral("联系电话"), phoneBox});
    second.append(m_setup.currencyFirst ? settlement : currency);
    second.append({QStringLiteral("汇率"), rateEdit});
    row(top);
    if (m_member)
        static_cast<QHBoxLayout*>(rows->itemAt(0)->layout())->addWidget(m_member->label(), 1);
    row(second, code);
    return headerGroup;
}

QWidget* BillWindow::buildFooter()
{
    footerGroup = named<QGroupBox>("GroupBox1", this);
    const auto total = [this](const char* name) {
        auto* box = named<QLineEdit>(name, footerGroup);
        box->setEnabled(false);
        box->setReadOnly(true);
        return box;
    };
    amountInWordsEdit = total("Edit3");
    totalQuantityEdit = total("Edit1");
    totalAmountEdit = total("Edit2");
    remarkEdit = named<ui::DbEdit>("DBEdit4", footerGroup);
    remarkEdit->bind(m_header, QStringLiteral("remark"));
    paidEdit = named<ui::DbEdit>("DBEdit10", footerGroup);
    paidEdit->bind(m_header, QStringLiteral("fact_tota"));

    auto* grid = new QGridLayout(footerGroup);
    grid->addWidget(WindowParts::caption(QStringLiteral("合计金额大写"), amountInWordsEdit), 0, 0);
    grid->addWidget(amountInWordsEdit, 0, 1, 1, 5);
    grid->addWidget(WindowParts::caption(QStringLiteral("合计数量"), totalQuantityEdit), 0, 6);
    grid->addWidget(totalQuantityEdit, 0, 7, 1, 2);
    grid->addWidget(WindowParts::caption(QStringLiteral("合计金额"), totalAmountEdit), 0, 9);
    grid->addWidget(totalAmountEdit, 0, 10, 1, 2);
    grid->addWidget(WindowParts::caption(QStringLiteral("备  注"), remarkEdit), 1, 0);
    grid->addWidget(remarkEdit, 1, 1, 1, 8);
    grid->addWidget(WindowParts::caption(m_setup.paidCaption, paidEdit), 1, 9);
    grid->addWidget(paidEdit, 1, 10, 1, 2);

    const QList<std::tuple<QString, const char*, const char*, const char*>> who = {
        {QStringLiteral("制单人"), "DBComboBox2", "DBEdit7", "oper"},
        {QStringLiteral("经手人"), "DBComboBox3", "DBEdit9", "hand"},
        {QStringLiteral("复核人"), "DBComboBox4", "DBEdit11", "chek"},
        {QStringLiteral("业务员"), "DBComboBox5", "DBEdit12", "rela"},
        {QStringLiteral("发货人"), "DBComboBox6", "DBEdit13", "send"},
        {QStringLiteral("收货人"), "DBComboBox7", "DBEdit14", "rece"}};
    int column = 0;
    for (const auto& [caption, comboName, nameBox, prefix] : who) {
        auto* person = named<ui::DbComboBox>(comboName, footerGroup);
        person->bind(m_header, QString::fromLatin1(prefix) + QStringLiteral("_code"));
        auto* name = named<ui::DbEdit>(nameBox, footerGroup);
        name->bind(m_header, QString::fromLatin1(prefix) + QStringLiteral("_name"));
        name->setReadOnly(true);
        grid->addWidget(WindowParts::caption(caption, person), 2, column);
        grid->addWidget(person, 2, column + 1);
        grid->addWidget(name, 3, column + 1);
        people << person;
        names << name;
        column += 2;
    }
    return footerGroup;
}

// Enter and Tab follow the header as it reads (the returns put the currency
// first), then the lines, then the footer.
void BillWindow::setWalkOrder()
{
    QList<QWidget*> order = {voucherNoEdit, billDateEdit, m_setup.currencyFirst ? currencyBox : settlementBox};
    if (m_member)
        order << m_member->box();
    order << companyCode << (m_setup.currencyFirst ? settlementBox : currencyBox);
    order << rateEdit << linesGrid << remarkEdit << paidEdit;
    for (ui::DbComboBox* person : std::as_const(people))
        order << person;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

// ---------------------------------------------------------------- opening and lists

void BillWindow::FormCreate()
{
    const ui::BusyCursor busy;
    BillFinder::setCurrentKind(BillStore::info(m_setup.kind).billType);
    DataHelpers::adjustComboBoxes(this);
    m_lines->addHook(db::Dataset::Hook::NewRecord, this, [this](db::Dataset& d) { StampLineBillNo(d); });
    m_lines->addHook(db::Dataset::Hook::AfterPost, this, [this](db::Dataset&) { RefreshTotals(); });
    m_lines->addHook(db::Dataset::Hook::AfterDelete, this, [this](db::Dataset&) { RefreshTotals(); });
    // The totals follow every value a line takes, not only posted lines.
    connect(m_lines, &db::Dataset::rowChanged, this, &BillWindow::RefreshTotals);
    m_lines->addHook(db::Dataset::Hook::Calculate, this, [this](db::Dataset& d) { CalcLineTotal(d); });
    if (!raisesStock(m_setup.kind))
        // Filler lines of the print-out have no goods and so no subtotal.
        dataModule().OutTempQ->addHook(db::Dataset::Hook::Calculate, this, [](db::Dataset& d) {
            if (!d.text(goodsCode).trimmed().isEmpty())
                d.setCalculated(QStringLiteral("sub_tota"), d.number(QStringLiteral("unit_pric")) * d.number(QStringLiteral("sub_amou")));
        });
    try {
        FillLists();
        const BillStore::KindInfo& where = BillStore::info(m_setup.kind);
        m_lines->setMaster(nullptr, {}, {});
        m_header->close();
        m_header->setSql(QStringLiteral("select * from %1 where bill_type=:billtype and bill_date=:date1 "
                                        "order by in_id limit 1")
                             .arg(where.headerTable));
        m_header->setParameter(QStringLiteral("billtype"), where.billType);
        m_header->setParameter(QStringLiteral("date1"), Clock::now().date());
        m_header->setLocking(db::Dataset::Locking::Batch);
        m_header->open();
        m_storedBillNo = m_header->currentRow() >= 0 ? m_header->text(QStringLiteral("bill_no")) : QString();
        billDateEdit->setDate(m_header->currentRow() >= 0 ? m_header->value(QStringLiteral("bill_date")).toDate()
                                                             : Clock::now().date());
        openLines();
    } catch (const std::exception& e) {
        report(QStringLiteral("无法打开单据"), e);
    }
    setMode(Mode::Browsing);
}

void BillWindow::FillLists()
{
    for (ui::DbComboBox* person : std::as_const(people))
        DataHelpers::fillCombo(QStringLiteral("employee"), QStringLiteral("empl_code"), person);
    DataHelpers::fillCombo(QStringLiteral("baseitem"), QStringLiteral("fee_type"), settlementBox);
    DataHelpers::fillCombo(QStringLiteral("baseitem"), QStringLiteral("mone_type"), currencyBox);
}

void BillWindow::openLines()
{
    m_lines->close();
    m_lines->setSql(QStringLiteral("select * from %1 where bill_no=:bill_no order by in_id")
                        .arg(BillStore::info(m_setup.kind).lineTable));
    m_lines->setParameter(QStringLiteral("bill_no"),
                          m_header->currentRow() >= 0 ? m_header->value(QStringLiteral("bill_no")) : QVariant());
    m_lines->setLocking(db::Dataset::Locking::Batch);
    m_lines->open();
    RefreshTotals();
    if (m_member)
        m_member->showHeader();
}

void BillWindow::openBill(const QString& billNo)
{
    const BillStore::KindInfo& where = BillStore::info(m_setup.kind);
    m_header->close();
    m_header->setSql(QStringLiteral("select * from %1 where bill_no=:bill_no and bill_type=:billtype")
                         .arg(where.headerTable));
    m_header->setParameter(QStringLiteral("bill_no"), billNo);
    m_header->setParameter(QStringLiteral("billtype"), where.billType);
    m_header->setLocking(db::Dataset::Locking::Batch);
    m_header->open();
    m_storedBillNo = m_header->currentRow() >= 0 ? billNo : QString();
    if (m_header->currentRow() >= 0)
        billDateEdit->setDate(m_header->value(QStringLiteral("bill_date")).toDate());
    openLines();
}

// ---------------------------------------------------------------- buttons

void BillWindow::updateButtons()
{
    const bool editing = isEditing();
    const int at = m_setup.position;
    linesGrid->setReadOnly(!editing);
    m_entry->setEditing(editing);
    headerGroup->setEnabled(editing);
    goodsButton->setEnabled(editing);
    styleButton->setEnabled(editing);
    // Whatever is bound to the bill takes typing only while the bill is added or edited.
    remarkEdit->setEnabled(editing);
    paidEdit->setEnabled(editing);
    for (ui::DbComboBox* person : std::as_const(people))
        person->setEnabled(editing);
    cmd_add->setEnabled(!editing && hasRight(Right::Add, at));
    cmd_edit->setEnabled(!editing && hasRight(Right::Edit, at));
    cmd_find->setEnabled(!editing && hasRight(Right::Find, at));
    cmd_dele->setEnabled(editing || hasRight(Right::Delete, at));
    cmd_prin->setEnabled(!editing && hasRight(Right::Print, at));
    if (labels)
        labels->setEnabled(!editing && hasRight(Right::Print, at));
    cmd_save->setEnabled(editing);
    cmd_canc->setEnabled(editing);
    cmd_exit->setEnabled(!editing);
}

void BillWindow::report(const QString& what, const std::exception& error)
{
    ui::showError(QStringLiteral("%1：%2").arg(what, ui::errorText(error)), this);
}

void BillWindow::cmd_addClick()
{
    try {
        const QString number = StockPosting::nextFreeBillNo(m_header->connection(), Clock::now());
        m_header->append();
        m_header->setValue(QStringLiteral("bill_no"), number);
        // The bill's maker is the user who types it.
        const QString user = CurrentRights::current().userId;
        if (const int at = people.first()->findText(user, Qt::MatchFixedString); !user.isEmpty() && at >= 0)
            m_header->setValue(QStringLiteral("oper_code"), people.first()->itemText(at));
        m_header->post();
        m_header->edit();
        openLines();
        m_lines->append();
    } catch (const std::exception& e) {
        report(QStringLiteral("无法新增"), e);
        m_lines->cancelBatch();
        m_header->cancelBatch();
        return;
    }
    billDateEdit->setDate(Clock::now().date());
    setMode(Mode::Adding);
    totalQuantityEdit->clear();
    totalAmountEdit->clear();
    amountInWordsEdit->clear();
    m_scan->bar()->tell({});
    rememberStart();
    // A clerk starts a bill with its goods, typed or scanned; the header is a Shift+Tab away.
    linesGrid->setCurrentIndex(linesGrid->model()->index(0, linesGrid->datasetModel()->columnOfField(goodsCode)));
    linesGrid->setFocus(Qt::OtherFocusReason);
}

void BillWindow::cmd_editClick()
{
    const QString billNo = billNoEdit->text().trimmed();
    if (billNo.isEmpty())
        return;
    try {
        m_header->locate(QStringLiteral("bill_no"), billNo);
        m_header->edit();
        m_paidWhenEditStarted = m_header->value(QStringLiteral("fact_tota"));
    } catch (const std::exception& e) {
        report(QStringLiteral("无法修改"), e);
        return;
    }
    setMode(Mode::Editing);
    rememberStart();
    voucherNoEdit->setFocus();
}

QList<BillLine> BillWindow::linesToSave() const
{
    const int code = m_lines->fieldIndex(goodsCode);
    const int quantity = m_lines->fieldIndex(QStringLiteral("sub_amou"));
    const int price = m_lines->fieldIndex(QStringLiteral("unit_pric"));
    const int remark = m_lines->fieldIndex(QStringLiteral("remark"));
    const int listPrice = m_lines->fieldIndex(QStringLiteral("list_pric"));
    const int markName = m_lines->fieldIndex(QStringLiteral("mark_name"));
    QList<BillLine> result;
    for (int row = 0; row < m_lines->recordCount(); ++row) {
        // A new line left without any change is no line.
        if (m_entry->isBlank(row))
            continue;
        result.append({m_lines->value(row, code).toString(), m_lines->value(row, quantity).toDouble(),
                       m_lines->value(row, price).toDouble(), m_lines->value(row, remark).toString(),
                       m_lines->value(row, listPrice).toDouble(), m_lines->value(row, markName).toString()});
    }
    return result;
}

QString BillWindow::operatorName() const
{
    // Settlement lists show the maker by name, cut to the column's width.
    const QString name = m_header->text(QStringLiteral("oper_name"));
    const db::Column* column = db::Schema::column(BillStore::info(m_setup.kind).headerTable, QStringLiteral("oper_name"));
    return column && column->size > 0 ? name.left(column->size) : name;
}

void BillWindow::cmd_saveClick()
{
    if (!dateConfirmed())
        return;
    const ui::BusyCursor busy;
    BillStore::Bill bill;
    try {
        // What the screen shows is what is saved: the open cell editor first.
        if (!m_entry->commit())
            return;
        m_lines->post();
        m_header->post();
        bill = billToSave();
    } catch (const std::exception& e) {
        report(QStringLiteral("保存失败"), e);
        return;
    }
    RefreshTotals();
    // The lines' refusal as the grid numbers them; the save itself refuses the rest.
    if (const BillRules::Refusal why = m_entry->refusal(); !why.isEmpty()) {
        m_entry->refuse(why);
        return;
    }
    if (!withinCreditLimit(bill))
        return;
    bill.saveId = m_saveAttempt.identityFor(bill);

    QString saved;
    try {
        saved = BillStore::save(m_header->connection(), m_setup.kind, bill);
    } catch (const BillRules::Refused& refused) {
        // Refused by the shop's rules (company, an empty bill): nothing was stored.
        refuse(refused.refusal());
        return;
    } catch (const std::exception& e) {
        // A save whose answer was lost may be stored: it is looked for first.
        const std::optional<QString> stored = SaveIdentity::findAfter<QString>(
            e, [&] { return BillStore::storedBy(m_header->connection(), m_setup.kind, bill.saveId); });
        if (!stored) {
            // Nothing was stored: the bill stays in memory for another try.
            report(QStringLiteral("保存失败，本单未保存"), e);
            return;
        }
        ui::inform(SaveIdentity::alreadySaved, this);
        saved = *stored;
    }
    m_saveAttempt.succeeded();
    setMode(Mode::Browsing);
    try {
        openBill(saved);
    } catch (const std::exception& e) {
        report(QStringLiteral("已保存，但无法重新显示本单"), e);
    }
    cmd_add->setFocus();
}

BillStore::Bill BillWindow::billToSave() const
{
    BillStore::Bill bill;
    bill.headerId = mode() == Mode::Adding ? 0 : m_header->value(QStringLiteral("in_id")).toLongLong();
    bill.billNo = m_header->text(QStringLiteral("bill_no"));
    for (int i = 0; i < m_header->fieldCount(); ++i) {
        const db::Field& f = m_header->field(i);
        if (f.kind != db::FieldKind::Data || f.name == QLatin1String("in_id") || f.name == QLatin1String("bill_no")
            || f.name == QLatin1String("bill_type") || f.name == QLatin1String("shou_tota"))
            continue;   // the amount due is the bill's total, set by the store
        QVariant value = m_header->value(f.name);
        if (f.name == QLatin1String("bill_date"))
            value = billDateEdit->date();
        else if (f.name == QLatin1String("fact_tota") && mode() == Mode::Editing
                 && ui::sameValue(value, m_paidWhenEditStarted))
            continue;   // a receipt saved meanwhile keeps what it paid
        bill.header.append({f.name, value});
    }
    bill.header.append({QStringLiteral("oper_name"), operatorName()});
    bill.lines = linesToSave();
    return bill;
}

// A refusal of the whole bill: the company's goes to its box, the lines' to the grid.
void BillWindow::refuse(const BillRules::Refusal& refusal)
{
    if (refusal.line >= 0) {
        m_entry->refuse(refusal);
        return;
    }
    ui::inform(refusal.message, this);
    if (refusal.column == BillRules::Column::Company)
        companyCode->setFocus();
    else
        linesGrid->setFocus();
}

// A sale over the customer's credit limit is saved only with the right, after a question.
bool BillWindow::withinCreditLimit(BillStore::Bill& bill)
{
    Receivables::LimitCheck check;
    try {
        check = BillRules::creditCheck(m_header->connection(), m_setup.kind, bill);
    } catch (const std::exception& e) {
        report(QStringLiteral("无法读取客户的信用额度，本单未保存"), e);
        return false;
    }
    if (!check.exceeded())
        return true;
    if (!BillRules::mayExceedLimit()) {
        ui::inform(BillRules::creditRefusal(check, false), this);
        return false;
    }
    bill.overLimitConfirmed = ui::dialogs().ask(this, Receivables::limitMessage(check) + QStringLiteral("\n\n仍要保存本单吗？"),
                                                QStringLiteral("提示"), false, ui::Dialogs::Default::Cancel);
    return bill.overLimitConfirmed;
}

void BillWindow::cmd_deleClick()
{
    const QString billNo = billNoEdit->text().trimmed();
    if (billNo.isEmpty())
        return;
    if (isEditing()) {
        if (m_lines->recordCount() == 0 || !ui::confirm(QStringLiteral("确认删除本条数据?"), this))
            return;
        try {
            m_lines->remove();
        } catch (const std::exception& e) {
            report(QStringLiteral("无法删除本条数据"), e);
        }
        RefreshTotals();
        return;
    }
    db::Connection& connection = m_header->connection();
    try {
        // The lock follows the bill as stored, not the date picker.
        const QDate date = BillStore::storedDate(connection, m_setup.kind, billNo);
        if (date.isValid() && StockPosting::isMonthCounted(connection, date)) {
            ui::inform(BillStore::monthCountedMessage, this);
            return;
        }
    } catch (const std::exception& e) {
        report(QStringLiteral("删除失败"), e);
        return;
    }
    if (!ui::confirm(QStringLiteral("此操作将删除本单全部数据，确认删除?"), this))
        return;
    {
        const ui::BusyCursor busy;
        try {
            BillStore::remove(connection, m_setup.kind, billNo);
        } catch (const std::exception& e) {
            report(QStringLiteral("删除失败，本单未删除"), e);
            return;
        }
    }
    try {
        openBill(QString());
    } catch (const std::exception& e) {
        report(QStringLiteral("已删除，但无法刷新"), e);
    }
}

void BillWindow::cmd_cancClick()
{
    if (anythingEntered()
        && !ui::dialogs().ask(this, QStringLiteral("本单已输入的内容将不保存，确认取消吗？"), QStringLiteral("提示"), true,
                              ui::Dialogs::Default::Cancel))
        return;
    try {
        m_lines->cancelBatch();
        m_header->cancelBatch();
        setMode(Mode::Browsing);
        openBill(m_storedBillNo);
    } catch (const std::exception& e) {
        setMode(Mode::Browsing);
        report(QStringLiteral("无法取消"), e);
    }
    cmd_add->setFocus();
}

// What the bill held when adding or editing began, to tell whether anything was entered since.
void BillWindow::rememberStart()
{
    m_start.date = billDateEdit->date();
    m_start.header.clear();
    for (int i = 0; i < m_header->fieldCount(); ++i)
        m_start.header.append(m_header->value(m_header->field(i).name));
    m_start.lines = int(linesToSave().size());
}

bool BillWindow::anythingEntered()
{
    // A value still in its cell editor counts as entered.
    if (!m_entry->commit() || billDateEdit->date() != m_start.date)
        return true;
    for (int i = 0; i < m_header->fieldCount() && i < m_start.header.size(); ++i)
        if (!ui::sameValue(m_header->value(m_header->field(i).name), m_start.header.at(i)))
            return true;
    int lines = 0;
    for (int row = 0; row < m_lines->recordCount(); ++row) {
        if (m_entry->isBlank(row))
            continue;
        if (m_lines->isRowChanged(row))
            return true;
        ++lines;
    }
    return lines != m_start.lines;
}

// A date moved far from today is most often a slip (a digit typed into the date box), not a bill of another year.
bool BillWindow::dateConfirmed()
{
    const QDate date = billDateEdit->date();
    const QDate today = Clock::now().date();
    if (date == m_start.date || (date >= today.addYears(-1) && date <= today.addYears(1)))
        return true;
    if (ui::dialogs().ask(this,
                          QStringLiteral("开单日期“%1”与今天相差一年以上，确认按此日期保存吗？")
                              .arg(date.toString(QStringLiteral("yyyy年M月d日"))),
                          QStringLiteral("提示"), true, ui::Dialogs::Default::Cancel))
        return true;
    billDateEdit->setFocus();
    return false;
}

void BillWindow::cmd_findClick()
{
    std::unique_ptr<BillFinder> finder;
    if (raisesStock(m_setup.kind))
        finder = std::make_unique<TFrmInFind>(this);
    else
        finder = std::make_unique<TFrmOutFind>(this);
    if (ui::dialogs().exec(finder.get()) != QDialog::Accepted)
        return;
    try {
        FillLists();
        openBill(finder->dataset()->text(QStringLiteral("bill_no")));
    } catch (const std::exception& e) {
        report(QStringLiteral("无法打开所选单据"), e);
    }
}

void BillWindow::cmd_exitClick()
{
    close();
}

// ---------------------------------------------------------------- lines

void BillWindow::StampLineBillNo(db::Dataset& lines)
{
    if (m_header->currentRow() >= 0)
        lines.setValue(QStringLiteral("bill_no"), m_header->value(QStringLiteral("bill_no")));
}

void BillWindow::CalcLineTotal(db::Dataset& lines)
{
    // A line with neither price nor quantity yet shows no subtotal.
    if (lines.isNull(QStringLiteral("unit_pric")) && lines.isNull(QStringLiteral("sub_amou")))
        return;
    lines.setCalculated(QStringLiteral("sub_tota"),
                        lines.number(QStringLiteral("unit_pric")) * lines.number(QStringLiteral("sub_amou")));
}

void BillWindow::RefreshTotals()
{
    if (!m_lines->isOpen() || m_header->currentRow() < 0) {
        totalQuantityEdit->clear();
        totalAmountEdit->clear();
        amountInWordsEdit->clear();
        return;
    }
    const BillRules::Totals totals = BillRules::totals(linesToSave());
    totalQuantityEdit->setText(DataHelpers::amountText(totals.quantity));
    totalAmountEdit->setText(DataHelpers::amountText(totals.amount));
    amountInWordsEdit->setText(DataHelpers::capitalAmount(totals.amount));
}

void BillWindow::onPickGoods()
{
    if (cmd_save->isEnabled())
        m_entry->pickGoods();
}

void BillWindow::onPickCompany()
{
    pickCompany({});
}

// A typed company code must name a company: an unknown one is refused and the picker offered.
bool BillWindow::companyCodeEntered()
{
    companyCode->commit();
    const QString code = companyCode->text().trimmed();
    if (!code.isEmpty() && BillRules::companyCode(m_header->connection(), code).isEmpty()) {
        ui::inform(QStringLiteral("客户编码“%1”不存在").arg(code), this);
        pickCompany(code);
        return true;
    }
    focusNextChild();
    return true;
}

void BillWindow::pickCompany(const QString& typed)
{
    TFrmCompFind picker(this);
    if (!typed.isEmpty())
        picker.setStartText(typed);
    const bool chosen = ui::dialogs().exec(&picker) == QDialog::Accepted;
    db::Dataset* companies = dataModule().CompanyQ;
    if (!chosen || companies->currentRow() < 0 || m_header->currentRow() < 0) {
        companyCode->setFocus();
        companyCode->selectAll();
        return;
    }
    try {
        m_header->setValue(QStringLiteral("comp_code"), companies->value(QStringLiteral("comp_code")));
    } catch (const std::exception& e) {
        report(QStringLiteral("无法填入公司"), e);
        return;
    }
    companyCode->setFocus();
    focusNextChild();
}

void BillWindow::onCurrencyChanged()
{
    if (!isEditing() || m_header->currentRow() < 0)
        return;
    const QString rate = DataHelpers::lookup(QStringLiteral("baseitem"), QStringLiteral("mone_type"),
                                             currencyBox->currentText(), QStringLiteral("mone_rate"));
    try {
        if (m_header->text(QStringLiteral("mone_rate")) != rate)
            m_header->setValue(QStringLiteral("mone_rate"), rate);
    } catch (const std::exception& e) {
        report(QStringLiteral("无法填入汇率"), e);
    }
}

bool BillWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return ui::ModeWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == companyCode && isEditing()) {
        if (ui::isEnterKey(key))
            return companyCodeEntered();
        if (ui::opensListKey(key)) {
            pickCompany(companyCode->text().trimmed());
            return true;
        }
        return false;
    }
    if (QComboBox* list = keyList(); list && (watched == list || watched == list->lineEdit())) {
        if (m_setup.keysToLines == KeysToLines::AnyKeyInSettlement || ui::isEnterKey(key)) {
            linesGrid->setFocus(Qt::TabFocusReason);
            return true;
        }
        return false;
    }
    return ui::ModeWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- printing

void BillWindow::cmd_prinClick()
{
    try {
        if (raisesStock(m_setup.kind))
            printInBill();
        else
            printOutBill();
    } catch (const std::exception& e) {
        report(QStringLiteral("无法打印"), e);
    }
}

BillPrint::Texts BillWindow::printTexts() const
{
    const PrintSettings& settings = PrintSettings::current();
    return {settings.companyName + m_setup.printTitle, settings.billFooter, amountInWordsEdit->text(),
            totalQuantityEdit->text(), totalAmountEdit->text()};
}

void BillWindow::printInBill()
{
    TQRin& layout = ReportLayouts::get<TQRin>();
    BillPrint::setTexts(layout, printTexts());
    const ui::QuietControls quiet(*m_lines);
    preview(layout);
}

void BillWindow::printOutBill()
{
    const PrintSettings& settings = PrintSettings::current();
    TQRout& layout = ReportLayouts::get<TQRout>();
    if (settings.pageType == QStringLiteral("自定义"))
        layout.setCustomPaper(settings.pageWidth, settings.pageLength);
    else if (settings.pageType == QStringLiteral("A4"))
        layout.setPaperA4();
    {
        const ui::BusyCursor busy;
        BillPrint::fillOutTemp(m_header->connection(), billNoEdit->text().trimmed(), settings.lineCount);
        db::Dataset* printed = dataModule().OutTempQ;
        printed->close();
        printed->setSql(QStringLiteral("select * from outtemp order by in_id"));
        printed->open();
    }
    BillPrint::setTexts(layout, printTexts());
    preview(layout);
}

// Each time pages of a stored bill reach the printer, the log says so: 打印, then 重印.
void BillWindow::preview(ReportLayout& layout)
{
    ReportPreview dialog(layout, this);
    const QString billNo = billNoEdit->text().trimmed();
    connect(&dialog, &ReportPreview::printed, this, [this, billNo] {
        if (billNo.isEmpty())
            return;
        try {
            BillStore::logPrint(m_header->connection(), m_setup.kind, billNo);
        } catch (const std::exception& e) {
            report(QStringLiteral("打印已完成，但没有记入操作日志"), e);
        }
    });
    ui::dialogs().exec(&dialog);
}
