#include "warehouse/TFrmStorIni.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowPlacement.h"
#include "shop/StockInit.h"
#include "warehouse/WarehouseParts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TFrmStorIni::TFrmStorIni(QWidget* parent)
    : ui::ModeWindow(parent)
{
    setObjectName(QStringLiteral("TFrmStorIni"));
    setWindowTitle(QStringLiteral("库存货品初始化"));
    resize(980, 600);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    cmd_add = WindowParts::addButton(bar, "cmd_add", QStringLiteral("导入[&A]"));
    cmd_edit = WindowParts::addCommand(bar, "cmd_edit", WindowParts::Command::Edit);
    cmd_dele = WindowParts::addCommand(bar, "cmd_dele", WindowParts::Command::Delete);
    cmd_save = WindowParts::addCommand(bar, "cmd_save", WindowParts::Command::Save);
    cmd_canc = WindowParts::addCommand(bar, "cmd_canc", WindowParts::Command::Cancel);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();
    layout->addLayout(bar);

    stockGrid = WindowParts::named<ui::DbGrid>("DBGrid1");
    ui::placeGridWindow(this, stockGrid);
    WarehouseParts::addGoodsColumns(stockGrid);
    stockGrid->addColumn(QStringLiteral("gods_amou"), QStringLiteral("数量"), 70);
    stockGrid->addColumn(QStringLiteral("cost_pric"), QStringLiteral("成本"), 70);
    for (const char* field : {"gods_code", "gods_name", "gods_kind", "gods_spec", "gods_type", "gods_color",
                              "gods_size", "gods_unit"})
        stockGrid->setColumnReadOnly(QString::fromLatin1(field), true);
    layout->addWidget(stockGrid, 1);

    connect(cmd_add, &QPushButton::clicked, this, &TFrmStorIni::cmd_addClick);
    connect(cmd_edit, &QPushButton::clicked, this, &TFrmStorIni::cmd_editClick);
    connect(cmd_dele, &QPushButton::clicked, this, &TFrmStorIni::cmd_deleClick);
    connect(cmd_save, &QPushButton::clicked, this, &TFrmStorIni::cmd_saveClick);
    connect(cmd_canc, &QPushButton::clicked, this, &TFrmStorIni::cmd_cancClick);
    connect(cmd_exit, &QPushButton::clicked, this, &TFrmStorIni::cmd_exitClick);

    // A changed row is refused as it is posted, by the rule the save asks.
    dataModule().StoreiniQ->addHook(db::Dataset::Hook::BeforePost, this, [](db::Dataset& d) {
        if (!d.isRowChanged(d.currentRow()))
            return;
        if (const QString refusal = StockInit::rowRefusal(d, d.currentRow()); !refusal.isEmpty())
            throw ui::InputError(refusal);
    });

    ui::BusyCursor busy;
    try {
        reopen();
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法读取库存"), e, this);
    }
    setMode(Mode::Browsing);
}

void TFrmStorIni::reopen()
{
    db::Dataset* q = dataModule().StoreiniQ;
    q->close();
    q->setSql(QStringLiteral("select * from storemain"));
    q->setLocking(db::Dataset::Locking::Batch);
    q->open();
    if (stockGrid->dataset() != q)
        stockGrid->setDataset(q);
}

void TFrmStorIni::updateButtons()
{
    const bool editing = isEditing();
    stockGrid->setReadOnly(!editing);
    cmd_add->setEnabled(!editing);
    cmd_edit->setEnabled(!editing);
    cmd_dele->setEnabled(true);
    cmd_save->setEnabled(editing);
    cmd_canc->setEnabled(editing);
    cmd_exit->setEnabled(!editing);
    if (!editing) {
        ui::applyRight(cmd_add, Right::Add, Function::OpeningStock);
        ui::applyRight(cmd_edit, Right::Edit, Function::OpeningStock);
        ui::applyRight(cmd_dele, Right::Delete, Function::OpeningStock);
    }
}

void TFrmStorIni::cmd_addClick()
{
    if (!ui::dialogs().ask(this,
                           QStringLiteral("本操作将商品资料库中的所有产品添加到库存资料中，\n"
                                          "但不会影响当前库存数量，是否执行?"),
                           QStringLiteral("确认"), false, ui::Dialogs::Default::Cancel))
        return;
    ui::BusyCursor busy;
    try {
        StockInit::importGoods(dataModule().AdoConn);
        reopen();
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("导入失败，库存资料未作改动"), e, this);
        return;
    }
    setMode(Mode::Browsing);
}

void TFrmStorIni::cmd_editClick()
{
    db::Dataset* q = dataModule().StoreiniQ;
    try {
        if (q->isEmpty()) {
            q->append();
            q->setValue(QStringLiteral("gods_amou"), 0.0);
            q->setValue(QStringLiteral("cost_pric"), 0.0);
        } else
            q->edit();
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法修改"), e, this);
        return;
    }
    setMode(Mode::Editing);
    stockGrid->setFocus();
}

void TFrmStorIni::cmd_deleClick()
{
    db::Dataset* q = dataModule().StoreiniQ;
    if (!q->isOpen() || q->currentRow() < 0)
        return;
    if (!ui::confirm(QStringLiteral("此操作将删除本单全部数据，确认删除?"), this))
        return;
    try {
        q->remove();
        // While editing the deletion waits for "保存", so that "取消" can still undo it.
        if (!isEditing())
            StockInit::save(*q, QStringLiteral("删除"));
    } catch (const std::exception& e) {
        if (!isEditing())
            q->cancelBatch();
        WarehouseParts::reportFailure(QStringLiteral("删除失败"), e, this);
    }
}

void TFrmStorIni::cmd_saveClick()
{
    db::Dataset* q = dataModule().StoreiniQ;
    const QString code = QStringLiteral("gods_code");
    try {
        // Posting takes the grid's open editor first, so what is on screen is what is checked.
        q->post();
        if (const StockInit::Refusal refused = StockInit::firstRefusal(*q); refused.row >= 0) {
            refuse(refused);
            return;
        }
        const QList<int> negative = StockInit::negativeChangedRows(*q);
        if (!negative.isEmpty()) {
            q->moveTo(negative.first());
            const QString goods = q->text(code);
            const QString text = negative.size() == 1
                                     ? QStringLiteral("货品“%1”的数量为负数（%2），确认保存?")
                                           .arg(goods, q->displayText(QStringLiteral("gods_amou")))
                                     : QStringLiteral("货品“%1”等 %2 个货品的数量为负数，确认保存?")
                                           .arg(goods)
                                           .arg(negative.size());
            if (!ui::dialogs().ask(this, text, QStringLiteral("确认"), false, ui::Dialogs::Default::Cancel)) {
                stockGrid->setFocus();
                return;
            }
        }
        if (const StockInit::Refusal refused = StockInit::save(*q, QStringLiteral("保存")); refused.row >= 0) {
            refuse(refused);
            return;
        }
    } catch (const ui::InputError& e) {
        ui::warn(QString::fromUtf8(e.what()), this);
        stockGrid->setFocus();
        return;
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("保存失败，库存资料未作改动"), e, this);
        return;
    }
    setMode(Mode::Browsing);
}

void TFrmStorIni::refuse(const StockInit::Refusal& refused)
{
    dataModule().StoreiniQ->moveTo(refused.row);
    ui::warn(refused.message, this);
    stockGrid->setFocus();
}

void TFrmStorIni::cmd_cancClick()
{
    db::Dataset* q = dataModule().StoreiniQ;
    try {
        q->cancel();
        q->cancelBatch();
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法取消"), e, this);
        return;
    }
    setMode(Mode::Browsing);
}

void TFrmStorIni::cmd_exitClick()
{
    close();
}
