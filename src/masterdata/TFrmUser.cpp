#include "masterdata/TFrmUser.h"

#include "core/AppPaths.h"
#include "core/CurrentRights.h"
#include "core/IniFile.h"
#include "masterdata/LabelPaperGroup.h"
#include "masterdata/MemberLevelGroup.h"
#include "masterdata/ReceiptPrinterGroup.h"
#include "core/Settings.h"
#include "core/TFrmDataMod.h"
#include "db/Statement.h"
#include "masterdata/BackupSettingsBox.h"
#include "masterdata/CodeListGrid.h"
#include "shop/TillSale.h"
#include "ui/WindowParts.h"
#include "ui/BusyCursor.h"
#include "ui/DbEdit.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <optional>

using WindowParts::named;

namespace {

const QString paperDefault = QStringLiteral("默认");
const QString paperCustom = QStringLiteral("自定义");
const QString paperA4 = QStringLiteral("A4");

// An integer key of system.ini; a missing or malformed value gives the default.
int readInteger(const IniFile& ini, const QString& section, const QString& key, int fallback)
{
    bool ok = false;
    const int value = ini.read(section, key).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

// Lines of a printed sales bill; more never fit any paper the settings allow.
constexpr int maxLineCount = 999;

// A box's whole number through the one number parser; the refusal names the box and the value.
std::optional<qlonglong> wholeNumber(const QLineEdit* box, const QString& caption, QString* refusal)
{
    try {
        const QVariant value = ui::parseNumber(box->text(), 0);
        if (value.isValid())
            return value.toLongLong();
        *refusal = QStringLiteral("%1必须是整数").arg(caption);
    } catch (const ui::InputError& e) {
        *refusal = caption + QString::fromUtf8(e.what());
    }
    return std::nullopt;
}

QLineEdit* sizeBox(const char* name)
{
    auto* box = named<QLineEdit>(name);
    box->setMaxLength(3);   // millimetres; full-width digits count as digits
    box->setMaximumWidth(60);
    return box;
}

} // namespace

TFrmUser::TFrmUser(QWidget* parent)
    : ui::ModeWindow(parent)
{
    setObjectName(QStringLiteral("FrmUser"));
    setWindowTitle(QStringLiteral("基本设置"));
    buildLayout();
    FormCreate();
}

CodeListGrid* TFrmUser::codeListGrid(const char* name, db::Dataset* dataset,
                                     const QList<std::pair<QString, QString>>& columns)
{
    auto* grid = named<CodeListGrid>(name);
    for (const auto& [field, title] : columns)
        grid->addColumn(field, title, field == QLatin1String("mone_rate") ? 50 : 70);
    grid->setDataset(dataset);
    return grid;
}

void TFrmUser::buildLayout()
{
    TFrmDataMod& dm = dataModule();

    auto* bar = new QHBoxLayout;
    cmd_edit = WindowParts::addCommand(bar, "cmd_edit", WindowParts::Command::Edit);
    cmd_save = WindowParts::addCommand(bar, "cmd_save", WindowParts::Command::Save);
    cmd_canc = WindowParts::addCommand(bar, "cmd_canc", WindowParts::Command::Cancel);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();
    connect(cmd_edit, &QPushButton::clicked, this, &TFrmUser::cmd_editClick);
    connect(cmd_save, &QPushButton::clicked, this, &TFrmUser::cmd_saveClick);
    connect(cmd_canc, &QPushButton::clicked, this, &TFrmUser::cmd_cancClick);
    connect(cmd_exit, &QPushButton::clicked, this, &TFrmUser::cmd_exitClick);

    const auto shopEdit = [&dm](const char* name, const char* field) {
        auto* box = named<ui::DbEdit>(name);
        box->bind(dm.UserQ, QString::fromLatin1(field));
        return box;
    };
    shopGroup = named<QGroupBox>("GroupBox1");
    shopGroup->setTitle(QStringLiteral("公司资料"));
    positionEdit = shopEdit("DBEdit1", "user_posi");
    unifiedNoEdit = shopEdit("DBEdit3", "stad_no");
    companyNameEdit = shopEdit("DBEdit2", "comp_name");
    phoneEdit = shopEdit("DBEdit5", "user_tele");
    faxEdit = shopEdit("DBEdit4", "user_fax");
    addressEdit = shopEdit("DBEdit6", "user_addr");
    emailEdit = shopEdit("DBEdit7", "user_mail");
    homePageEdit = shopEdit("DBEdit8", "user_www");
    // The till's rules for the whole shop.
    discountLimitEdit = shopEdit("discountLimitEdit", "disc_limit");
    roundingUnitEdit = shopEdit("roundingUnitEdit", "round_unit");
    WindowParts::addLabelled(new QGridLayout(shopGroup),
                             {{QStringLiteral("本店位置"), positionEdit}, {QStringLiteral("统一编号"), unifiedNoEdit},
                              {QStringLiteral("公司名称"), companyNameEdit}, {QStringLiteral("公司电话"), phoneEdit},
                              {QStringLiteral("公司传真"), faxEdit}, {QStringLiteral("公司地址"), addressEdit},
                              {QStringLiteral("E_MAIL"), emailEdit}, {QStringLiteral("公司主页"), homePageEdit},
                              {QStringLiteral("收银最低折扣%"), discountLimitEdit},
                              {QStringLiteral("收银抹零(0/0.1/1元)"), roundingUnitEdit}},
                             1);

    billPrintGroup = buildPrintGroup();

    settlementGrid = codeListGrid("DBGrid6", dm.FeeDefiQ,
                           {{QStringLiteral("fee_code"), QStringLiteral("代码")},
                            {QStringLiteral("fee_type"), QStringLiteral("结算方式")}});
    currencyGrid = codeListGrid("DBGrid7", dm.MoneDefQ,
                           {{QStringLiteral("mone_code"), QStringLiteral("代码")},
                            {QStringLiteral("mone_type"), QStringLiteral("币种")},
                            {QStringLiteral("mone_rate"), QStringLiteral("汇率")}});

    const auto goodsList = [this](const char* name, db::Dataset* dataset, const char* code, const char* field,
                                  const QString& title) {
        return codeListGrid(name, dataset,
                            {{QString::fromLatin1(code), QStringLiteral("编号")}, {QString::fromLatin1(field), title}});
    };
    goodsListTabs = named<QTabWidget>("PageControl1");
    brandGrid = goodsList("DBGrid3", dm.SpecDefiQ, "gods_spec_id", "gods_spec", QStringLiteral("品牌"));
    styleGrid = goodsList("DBGrid4", dm.TypeDefiQ, "gods_type_id", "gods_type", QStringLiteral("款式"));
    categoryGrid = goodsList("DBGrid5", dm.KindDefiQ, "gods_kind_id", "gods_kind", QStringLiteral("分类"));
    colorGrid = goodsList("DBGrid1", dm.ColorDefiQ, "gods_color_id", "gods_color", QStringLiteral("颜色"));
    sizeGrid = goodsList("DBGrid2", dm.SizeDefiQ, "gods_size_id", "gods_size", QStringLiteral("尺码"));
    originGrid = goodsList("DBGrid8", dm.ProdDefiQ, "prod_place_id", "prod_place", QStringLiteral("产地"));
    unitGrid = goodsList("DBGrid9", dm.UnitDefiQ, "gods_unit_id", "gods_unit", QStringLiteral("单位"));
    const QList<std::pair<CodeListGrid*, const char*>> tabs = {
        {brandGrid, "品牌"}, {styleGrid, "款式"},  {categoryGrid, "分类"}, {colorGrid, "颜色"},
        {sizeGrid, "尺码"},  {originGrid, "产地"}, {unitGrid, "单位"}};
    for (const auto& [grid, title] : tabs)
        goodsListTabs->addTab(grid, QString::fromUtf8(title));
    goodsListTabs->setCurrentIndex(0);
    goodsListTabs->setMinimumWidth(430);   // all seven tabs in view

    // Opened in this order; the statements order each list by its code.
    const auto select = [](const char* columns, const char* code) {
        return QStringLiteral("select distinct %1 from baseitem order by %2")
            .arg(QLatin1String(columns), QLatin1String(code));
    };
    m_lists = {
        {brandGrid, dm.SpecDefiQ, QStringLiteral("品牌"), select("gods_spec_id,gods_spec", "gods_spec_id")},
        {styleGrid, dm.TypeDefiQ, QStringLiteral("款式"), select("gods_type_id,gods_type", "gods_type_id")},
        {categoryGrid, dm.KindDefiQ, QStringLiteral("分类"), select("gods_kind_id,gods_kind", "gods_kind_id")},
        {settlementGrid, dm.FeeDefiQ, QStringLiteral("结算方式"), select("fee_code,fee_type", "fee_code")},
        {currencyGrid, dm.MoneDefQ, QStringLiteral("币种"), select("mone_code,mone_type,mone_rate", "mone_code")},
        {colorGrid, dm.ColorDefiQ, QStringLiteral("颜色"), select("gods_color_id,gods_color", "gods_color_id")},
        {sizeGrid, dm.SizeDefiQ, QStringLiteral("尺码"), select("gods_size_id,gods_size", "gods_size_id")},
        {unitGrid, dm.UnitDefiQ, QStringLiteral("单位"), select("gods_unit_id,gods_unit", "gods_unit_id")},
        {originGrid, dm.ProdDefiQ, QStringLiteral("产地"), select("prod_place_id,prod_place", "prod_place_id")},
    };

    auto* lists = new QHBoxLayout;
    lists->addWidget(settlementGrid);
    lists->addWidget(currencyGrid);
    auto* left = new QVBoxLayout;
    left->addWidget(shopGroup);
    left->addWidget(billPrintGroup);
    labelPaper = new LabelPaperGroup(this);
    left->addWidget(labelPaper);
    left->addLayout(lists, 1);
    BackupBox = new BackupSettingsBox;
    auto* right = new QVBoxLayout;
    right->addWidget(goodsListTabs, 1);
    right->addWidget(BackupBox);
    receiptPrinter = new ReceiptPrinterGroup(this);
    right->addWidget(receiptPrinter);
    memberLevels = new MemberLevelGroup(dm.UserQ, this);
    right->addWidget(memberLevels);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 3);
    body->addLayout(right, 2);
    auto* root = new QVBoxLayout(this);
    root->addLayout(bar);
    root->addLayout(body, 1);
    resize(980, 720);

    // Tab and Enter go down the left column, through both lists, then to the tabs.
    const QList<QWidget*> order = {positionEdit,   unifiedNoEdit,  companyNameEdit, phoneEdit,         faxEdit,
                                   addressEdit,    emailEdit,      homePageEdit,    discountLimitEdit, roundingUnitEdit,
                                   billFooterEdit, paperBox,       paperWidthEdit,  paperLengthEdit,   lineCountEdit,
                                   settlementGrid, currencyGrid,   goodsListTabs};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    setTabOrder(goodsListTabs, BackupBox->folder);
}

QGroupBox* TFrmUser::buildPrintGroup()
{
    auto* group = named<QGroupBox>("GroupBox2");
    group->setTitle(QStringLiteral("出货报表参数"));
    billFooterEdit = named<ui::DbEdit>("DBEdit9");
    billFooterEdit->bind(dataModule().UserQ, QStringLiteral("bill_bottom"));
    paperBox = named<QComboBox>("ComboBox1");
    paperBox->setEditable(true);
    paperBox->setInsertPolicy(QComboBox::NoInsert);
    paperBox->addItems({paperDefault, paperCustom, paperA4});
    paperBox->setEditText(paperDefault);
    // Only the user's own choice or typing applies the paper rule, never the window's assignments.
    connect(paperBox, &QComboBox::textActivated, this, &TFrmUser::onPaperChosen);
    connect(paperBox->lineEdit(), &QLineEdit::textEdited, this, &TFrmUser::onPaperChosen);
    paperWidthEdit = sizeBox("MaskEdit1");
    paperLengthEdit = sizeBox("MaskEdit2");
    lineCountEdit = named<QLineEdit>("Edit1");
    lineCountEdit->setMaximumWidth(60);

    auto* grid = new QGridLayout(group);
    const auto label = [](const char* text, QWidget* control) {
        return WindowParts::caption(QString::fromUtf8(text), control);
    };
    grid->addWidget(label("单据下标", billFooterEdit), 0, 0);
    grid->addWidget(billFooterEdit, 0, 1, 1, 6);
    grid->addWidget(label("打印纸张大小", paperBox), 1, 0);
    grid->addWidget(paperBox, 1, 1, 1, 3);
    grid->addWidget(label("宽", paperWidthEdit), 2, 0, Qt::AlignRight);
    grid->addWidget(paperWidthEdit, 2, 1);
    grid->addWidget(label("毫米", paperWidthEdit), 2, 2);
    grid->addWidget(label("长", paperLengthEdit), 2, 3, Qt::AlignRight);
    grid->addWidget(paperLengthEdit, 2, 4);
    grid->addWidget(label("毫米", paperLengthEdit), 2, 5);
    grid->addWidget(label("出货报表格式", lineCountEdit), 3, 0);
    grid->addWidget(label("行数", lineCountEdit), 3, 3, Qt::AlignRight);
    grid->addWidget(lineCountEdit, 3, 4);
    grid->setColumnStretch(6, 1);
    return group;
}

void TFrmUser::FormCreate()
{
    setMode(Mode::Browsing);
    const ui::BusyCursor busy;
    readSettingsFile();
    TFrmDataMod& dm = dataModule();
    dm.UserQ->close();
    dm.UserQ->setSql(QStringLiteral("select * from userinfo limit 1"));
    dm.UserQ->setLocking(db::Dataset::Locking::Optimistic);
    dm.UserQ->open();
    // Closing drops whatever an earlier visit left pending.
    for (const CodeList& l : std::as_const(m_lists)) {
        l.dataset->close();
        l.dataset->setSql(l.sql);
        l.dataset->setLocking(db::Dataset::Locking::Batch);
        l.dataset->open();
    }
}

void TFrmUser::readSettingsFile()
{
    const IniFile ini(AppPaths::settingsFile());
    paperBox->setEditText(ini.read(SettingsKeys::pagesize, SettingsKeys::pageType, paperA4));
    paperWidthEdit->setText(QString::number(readInteger(ini, SettingsKeys::pagesize, SettingsKeys::pageWidth, 210)));
    paperLengthEdit->setText(QString::number(readInteger(ini, SettingsKeys::pagesize, SettingsKeys::pageLength, 297)));
    lineCountEdit->setText(ini.read(SettingsKeys::billdata, SettingsKeys::lineCount, QStringLiteral("0")).trimmed());
    labelPaper->load();
    receiptPrinter->load();
    memberLevels->load();
}

void TFrmUser::updateButtons()
{
    const bool editing = isEditing();
    cmd_edit->setEnabled(!editing);
    cmd_exit->setEnabled(!editing);
    cmd_save->setEnabled(editing);
    cmd_canc->setEnabled(editing);
    shopGroup->setEnabled(editing);
    billPrintGroup->setEnabled(editing);
    BackupBox->setEnabled(editing);
    labelPaper->setEnabled(editing);
    receiptPrinter->setEnabled(editing);
    memberLevels->setEnabled(editing);
    for (const CodeList& l : std::as_const(m_lists))
        l.grid->setEditable(editing);
    if (!editing)
        ui::applyRight(cmd_edit, Right::Edit, Function::BasicSettings);
}

void TFrmUser::cmd_editClick()
{
    const ui::BusyCursor busy;
    try {
        db::Dataset* shop = dataModule().UserQ;
        if (shop->isEmpty())
            shop->append();
        else
            shop->edit();
        setMode(Mode::Editing);
        positionEdit->setFocus();
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void TFrmUser::onPaperChosen()
{
    const QString type = paperBox->currentText();
    if (type == paperCustom) {
        paperWidthEdit->setEnabled(true);
        paperLengthEdit->setEnabled(true);
        return;
    }
    int width = 0;
    int length = 0;
    if (type == paperA4) {
        width = 210;
        length = 297;
    } else if (type == paperDefault) {
        width = 218;
        length = 140;
    } else {
        return;
    }
    paperWidthEdit->setEnabled(false);
    paperLengthEdit->setEnabled(false);
    paperWidthEdit->setText(QString::number(width));
    paperLengthEdit->setText(QString::number(length));
}

// Every number box is checked before anything is written; the first bad box is named and focused.
bool TFrmUser::checkNumbers(int* width, int* length, int* lines)
{
    const auto refuse = [this](const QString& text, QLineEdit* box) {
        ui::inform(text, this);
        WindowParts::focusBox(box);
        return false;
    };
    const bool custom = paperBox->currentText().trimmed() == paperCustom;
    if (custom && paperWidthEdit->text().trimmed().isEmpty())
        return refuse(QStringLiteral("自定义纸张类型必需输入纸张宽度"), paperWidthEdit);
    if (custom && paperLengthEdit->text().trimmed().isEmpty())
        return refuse(QStringLiteral("自定义纸张类型必需输入纸张长度"), paperLengthEdit);
    QString refusal;
    const std::optional<qlonglong> w = wholeNumber(paperWidthEdit, QStringLiteral("纸张宽度"), &refusal);
    if (!w)
        return refuse(refusal, paperWidthEdit);
    const std::optional<qlonglong> l = wholeNumber(paperLengthEdit, QStringLiteral("纸张长度"), &refusal);
    if (!l)
        return refuse(refusal, paperLengthEdit);
    const std::optional<qlonglong> count = wholeNumber(lineCountEdit, QStringLiteral("出货报表行数"), &refusal);
    if (!count)
        return refuse(refusal, lineCountEdit);
    if (*count < 0 || *count > maxLineCount)
        return refuse(QStringLiteral("出货报表行数必须在 0 到 %1 之间").arg(maxLineCount), lineCountEdit);
    *width = int(*w);
    *length = int(*l);
    *lines = int(*count);
    if (custom && (*width > 400 || *width < 50))
        return refuse(QStringLiteral("纸张宽度不合适"), paperWidthEdit);
    if (custom && (*length > 500 || *length < 80))
        return refuse(QStringLiteral("纸张长度不合适"), paperLengthEdit);
    return true;
}

// The till's discount limit and 抹零 as the shop's rules take them.
bool TFrmUser::checkTillRules()
{
    if (!discountLimitEdit->commit() || !roundingUnitEdit->commit())
        return false;
    db::Dataset* shop = dataModule().UserQ;
    const QList<std::pair<QLineEdit*, QString>> refusals = {
        {discountLimitEdit, TillSale::discountLimitRefusal(shop->value(QStringLiteral("disc_limit")))},
        {roundingUnitEdit, TillSale::roundingUnitRefusal(shop->value(QStringLiteral("round_unit")))}};
    for (const auto& [box, why] : refusals) {
        if (!why.isEmpty()) {
            WindowParts::refuse(box, why);
            return false;
        }
    }
    return true;
}

// A blank company name would blank the one already stored (in the shop row or system.ini).
bool TFrmUser::checkCompanyName()
{
    if (!companyNameEdit->text().trimmed().isEmpty())
        return true;
    QString stored = IniFile(AppPaths::settingsFile()).read(SettingsKeys::billdata, SettingsKeys::companyName).trimmed();
    db::Statement shop(dataModule().UserQ->connection(),
                       QStringLiteral("select comp_name from userinfo where comp_name is not null and trim(comp_name)<>'' limit 1"));
    if (stored.isEmpty() && shop.next())
        stored = shop.value(0).toString().trimmed();
    if (stored.isEmpty())
        return true;
    WindowParts::refuse(companyNameEdit, QStringLiteral("公司名称不能为空（现为“%1”），请输入公司名称").arg(stored));
    return false;
}

// Trims the list's entries and finds the first that is empty or already in the list.
// Returns the message naming the list and the entry, empty when the list may be saved.
QString TFrmUser::trimAndCheck(const CodeList& list, int* badRow)
{
    db::Dataset* d = list.dataset;
    list.grid->finishEditing();
    const int columns = qMin(2, d->fieldCount());   // the code and the entry's name
    const auto header = [&list](int column) {
        return list.grid->model()->headerData(column, Qt::Horizontal).toString();
    };
    QList<QSet<QString>> seen(columns);
    for (int row = 0; row < d->recordCount(); ++row) {
        bool blank = true;
        for (int i = 0; i < d->fieldCount(); ++i)
            blank = blank && d->value(row, i).toString().trimmed().isEmpty();
        // The one empty row that stands for the other lists' rows of the table.
        if (blank)
            continue;
        for (int column = 0; column < columns; ++column) {
            const QString text = d->value(row, column).toString();
            if (text != text.trimmed()) {
                d->moveTo(row);
                d->setValue(d->field(column).name, text.trimmed());
                d->post();
            }
            const QString entry = text.trimmed();
            *badRow = row;
            if (entry.isEmpty())
                return QStringLiteral("%1表中第 %2 行的%3不能为空").arg(list.title).arg(row + 1).arg(header(column));
            if (seen[column].contains(entry.toLower()))
                return QStringLiteral("%1表中%2“%3”重复，不能保存").arg(list.title, header(column), entry);
            seen[column].insert(entry.toLower());
        }
    }
    return {};
}

// Every code list is checked before anything is written; the first fault is shown in its list.
bool TFrmUser::checkCodeLists()
{
    for (const CodeList& l : std::as_const(m_lists)) {
        int row = -1;
        QString fault;
        try {
            fault = trimAndCheck(l, &row);
        } catch (const std::exception& e) {
            fault = QStringLiteral("%1：%2").arg(l.title, ui::errorText(e));
        }
        if (fault.isEmpty())
            continue;
        if (goodsListTabs->indexOf(l.grid) >= 0)
            goodsListTabs->setCurrentWidget(l.grid);
        if (row >= 0 && row < l.dataset->recordCount())
            l.dataset->moveTo(row);
        ui::warn(fault, this);
        l.grid->setFocus();
        return false;
    }
    return true;
}

const TFrmUser::CodeList& TFrmUser::list(const CodeListGrid* grid) const
{
    for (const CodeList& l : m_lists)
        if (l.grid == grid)
            return l;
    return m_lists.first();
}

// Writes the shop row and the code lists. A list that fails keeps its pending
// changes and the others are still written; any failure is told in one message.
bool TFrmUser::saveData()
{
    try {
        dataModule().UserQ->post();
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("公司资料保存失败：%1").arg(ui::errorText(e)), this);
        return false;
    }
    QStringList failures;
    for (const CodeListGrid* grid : {brandGrid, styleGrid, categoryGrid, currencyGrid, settlementGrid, colorGrid, sizeGrid,
                                     unitGrid, originGrid}) {
        const CodeList& l = list(grid);
        try {
            l.grid->finishEditing();
            l.dataset->updateBatch();
        } catch (const std::exception& e) {
            failures << QStringLiteral("%1：%2").arg(l.title, ui::errorText(e));
        }
    }
    if (failures.isEmpty())
        return true;
    ui::showError(QStringLiteral("以下代码表没有保存，请修改后再保存：\n%1").arg(failures.join(QLatin1Char('\n'))), this);
    return false;
}

bool TFrmUser::writeSettings(int width, int length, int lines)
{
    const QString company = companyNameEdit->text().trimmed();
    const QString footer = billFooterEdit->text().trimmed();
    const QString type = paperBox->currentText().trimmed();
    PrintSettings& print = PrintSettings::current();
    print.companyName = company;
    print.billFooter = footer;
    print.pageType = type;
    print.pageWidth = width;
    print.pageLength = length;
    print.lineCount = lines;

    IniFile ini(AppPaths::settingsFile());
    const bool written = ini.write(SettingsKeys::billdata, SettingsKeys::companyName, company)
                         && ini.write(SettingsKeys::billdata, SettingsKeys::billBottom, footer)
                         && ini.write(SettingsKeys::billdata, SettingsKeys::lineCount, QString::number(lines))
                         && ini.write(SettingsKeys::pagesize, SettingsKeys::pageType, type)
                         && ini.write(SettingsKeys::pagesize, SettingsKeys::pageWidth, QString::number(width))
                         && ini.write(SettingsKeys::pagesize, SettingsKeys::pageLength, QString::number(length));
    if (!written)
        ui::showError(QStringLiteral("无法写入设置文件 %1").arg(AppPaths::settingsFile()), this);
    return written && labelPaper->save() && receiptPrinter->save();
}

void TFrmUser::cmd_saveClick()
{
    int width = 0;
    int length = 0;
    int lines = 0;
    if (!checkCompanyName() || !checkTillRules() || !checkNumbers(&width, &length, &lines) || !BackupBox->check()
        || !receiptPrinter->check() || !memberLevels->check() || !checkCodeLists())
        return;
    const ui::BusyCursor busy;
    if (saveData() && memberLevels->save() && writeSettings(width, length, lines) && BackupBox->save())
        setMode(Mode::Browsing);
}

void TFrmUser::cmd_cancClick()
{
    try {
        dataModule().UserQ->cancel();
        // The code lists keep what was typed as pending changes for the next save.
        for (const CodeList& l : std::as_const(m_lists))
            l.grid->finishEditing();
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
    // The print settings' boxes show the stored values again, as when the window opened.
    readSettingsFile();
    BackupBox->load();
    paperWidthEdit->setEnabled(true);
    paperLengthEdit->setEnabled(true);
    setMode(Mode::Browsing);
}

void TFrmUser::cmd_exitClick()
{
    close();
}
