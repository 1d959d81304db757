#include "masterdata/TFrmGoods.h"

#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "masterdata/GoodsBarcodeTools.h"
#include "db/Dataset.h"
#include "masterdata/StyleGenerationDialog.h"
#include "ui/TFrmCompFind.h"
#include "ui/WindowParts.h"
#include "ui/BusyCursor.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowPlacement.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <type_traits>

namespace {

MasterDataWindow::Setup goodsSetup()
{
    MasterDataWindow::Setup s;
    s.dataset = dataModule().GoodsQ;
    s.table = QStringLiteral("goods");
    s.codeField = QStringLiteral("gods_code");
    s.codeCaption = QStringLiteral("货品编码");
    s.nameField = QStringLiteral("gods_name");
    s.findLabel = QStringLiteral("编码");
    s.position = Function::Goods;
    s.uses = {{"ingoods", "gods_code", QStringLiteral("进货及顾客退货单明细")},
              {"outgoods", "gods_code", QStringLiteral("销售及退货厂商单明细")},
              {"storemain", "gods_code", QStringLiteral("库存")},
              {"storchek", "gods_code", QStringLiteral("盘点记录")}};
    return s;
}

enum class Kind {
    Edit,
    Combo,       // list taken from the column of the same name in `listTable`
    Wide,        // an edit over the whole row
    Processing,  // "委托加工": material cost and fee side by side
    Company,     // a company code, its name and the picker button
};

// The data group in the order of its controls. Processing and Company rows
// carry a second control (name2, field2).
struct GoodsControl {
    const char* label;
    const char* field;
    const char* name;
    Kind kind;
    const char* listTable = nullptr;
    const char* field2 = nullptr;
    const char* name2 = nullptr;
};

const GoodsControl goodsControls[] = {
    {"编码", "gods_code", "DBEdit1", Kind::Edit},
    {"名称", "gods_name", "DBEdit2", Kind::Edit},
    {"条形码", "bar_code", "DBEdit16", Kind::Edit},
    {"品牌", "gods_spec", "DBComboBox1", Kind::Combo, "baseitem"},
    {"分类", "gods_kind", "DBComboBox2", Kind::Combo, "baseitem"},
    {"款式", "gods_type", "DBComboBox3", Kind::Combo, "baseitem"},
    {"款号", "styl_code", "DBEditStyle", Kind::Edit},
    {"季节", "season", "SeasonBox", Kind::Combo, "goods"},
    {"尺码", "gods_size", "DBComboBox4", Kind::Combo, "baseitem"},
    {"颜色", "gods_color", "DBComboBox5", Kind::Combo, "baseitem"},
    {"单位", "gods_unit", "DBComboBox6", Kind::Combo, "baseitem"},
    {"面料", "gods_face", "DBComboBox7", Kind::Combo, "goods"},
    {"内里", "gods_in", "DBComboBox8", Kind::Combo, "goods"},
    {"产地", "prod_place", "DBComboBox9", Kind::Combo, "baseitem"},
    {"包装单位", "pack_unit", "DBComboBox10", Kind::Combo, "goods"},
    {"代理价", "agent_pric", "DBEdit3", Kind::Edit},
    {"批发价", "batch_out", "DBEdit4", Kind::Edit},
    {"建议进价", "valu_in", "DBEdit5", Kind::Edit},
    {"建议售价", "valu_out", "DBEdit6", Kind::Edit},
    {"委托加工", "mate_pric", "DBEdit7", Kind::Processing, nullptr, "mach_pric", "DBEdit8"},
    {"库存上限", "max_amou", "DBEdit9", Kind::Edit},
    {"库存下限", "min_amou", "DBEdit10", Kind::Edit},
    {"生产商编码", "prod_code", "DBEdit11", Kind::Company, nullptr, "prod_name", "DBEdit12"},
    {"供应商编码", "supp_code", "DBEdit13", Kind::Company, nullptr, "supp_name", "DBEdit14"},
    {"备注", "gods_note", "DBEdit15", Kind::Wide},
};

// The order in which the drop-downs are filled: brand, category, style, size,
// colour, unit, place of production, face fabric, lining, packing unit, season.
const char* const fillOrder[] = {"DBComboBox1", "DBComboBox2", "DBComboBox3", "DBComboBox4", "DBComboBox5", "DBComboBox6",
                                 "DBComboBox9", "DBComboBox7", "DBComboBox8", "DBComboBox10", "SeasonBox"};

QString latin(const char* text)
{
    return QString::fromLatin1(text);
}

} // namespace

TFrmGoods::TFrmGoods(QWidget* parent)
    : MasterDataWindow(goodsSetup(), parent)
{
    setObjectName(QStringLiteral("FrmGoods"));
    setWindowTitle(QStringLiteral("货品资料"));
    ui::setFixedWindowSize(this, 960, 620);
    dataGroup->setTitle(QStringLiteral("货品资料"));
    buildDataGroup();

    listGrid->addColumn(QStringLiteral("gods_code"), QStringLiteral("编码"), 75);
    listGrid->addColumn(QStringLiteral("gods_name"), QStringLiteral("名称"), 130);
    listGrid->addColumn(QStringLiteral("gods_spec"), QStringLiteral("品牌"), 55);
    listGrid->addColumn(QStringLiteral("gods_type"), QStringLiteral("款式"), 55);
    listGrid->addColumn(QStringLiteral("gods_kind"), QStringLiteral("分类"), 55);
    listGrid->addColumn(QStringLiteral("styl_code"), QStringLiteral("款号"), 60);
    listGrid->addColumn(QStringLiteral("season"), QStringLiteral("季节"), 60);

    barcodes = new GoodsBarcodeTools(dataset(), dataGroup->findChild<ui::DbEdit*>(QStringLiteral("DBEdit16")), this);
    auto* left = new QVBoxLayout;
    left->addWidget(listGrid, 1);
    left->addWidget(findGroup);
    left->addWidget(barcodes);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 4);
    body->addWidget(dataGroup, 5);
    auto* layout = new QVBoxLayout(this);
    QHBoxLayout* bar = toolBarLayout();
    cmd_style = WindowParts::addButton(bar, "cmd_style", QStringLiteral("按款式生成[&G]..."));
    connect(cmd_style, &QPushButton::clicked, this, &TFrmGoods::cmd_styleClick);
    layout->addLayout(bar);
    layout->addLayout(body, 1);

    for (ui::DbComboBox* box : {brandBox, categoryBox, sizeBox, colorBox})
        connect(box, &QComboBox::currentTextChanged, this, &TFrmGoods::makeName);
    connect(autoNameCheck, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked)
            makeName();
    });
    connect(pickProducerButton, &QPushButton::clicked, this, &TFrmGoods::pickProducer);
    connect(pickSupplierButton, &QPushButton::clicked, this, &TFrmGoods::pickSupplier);
    for (ui::DbEdit* code : {producerCodeEdit, supplierCodeEdit}) {
        code->installEventFilter(this);
        code->setToolTip(QStringLiteral("F4：选择公司"));
    }

    FormCreate();
}

void TFrmGoods::buildDataGroup()
{
    const auto edit = [this](const char* name, const char* field) {
        return name == QLatin1String("DBEdit1") ? codeEdit : makeEdit(latin(name), latin(field));
    };
    for (const GoodsControl& c : goodsControls) {
        const QString label = QString::fromUtf8(c.label);
        switch (c.kind) {
        case Kind::Edit:
            addField(label, edit(c.name, c.field));
            break;
        case Kind::Wide:
            addField(label, edit(c.name, c.field), true);
            break;
        case Kind::Combo:
            addField(label, makeCombo(latin(c.name), latin(c.field)));
            break;
        case Kind::Processing: {
            auto* row = new QHBoxLayout;
            ui::DbEdit* material = edit(c.name, c.field);
            ui::DbEdit* fee = edit(c.name2, c.field2);
            row->addWidget(WindowParts::caption(QStringLiteral("材料费用"), material, dataGroup));
            row->addWidget(material, 1);
            row->addWidget(WindowParts::caption(QStringLiteral("费用"), fee, dataGroup));
            row->addWidget(fee, 1);
            addFieldRow(label, row);
            break;
        }
        case Kind::Company: {
            auto* row = new QHBoxLayout;
            const bool producer = latin(c.field) == QLatin1String("prod_code");
            row->addWidget(edit(c.name, c.field), 1);
            ui::DbEdit* name = edit(c.name2, c.field2);
            // The name beside the code has no caption of its own.
            name->setAccessibleName(producer ? QStringLiteral("生产商名称") : QStringLiteral("供应商名称"));
            name->setFocusPolicy(Qt::ClickFocus);   // shown, not typed: Enter passes it by
            row->addWidget(name, 2);
            auto* pick = new QPushButton(QStringLiteral("..."), dataGroup);
            pick->setObjectName(producer ? QStringLiteral("Button1") : QStringLiteral("Button2"));
            pick->setAccessibleName(producer ? QStringLiteral("选择生产商") : QStringLiteral("选择供应商"));
            pick->setAutoDefault(false);
            // Out of the Tab and Enter walk: F4 or Alt+Down in the code box opens the picker.
            pick->setFocusPolicy(Qt::NoFocus);
            pick->setFixedWidth(32);
            row->addWidget(pick);
            addFieldRow(label, row);
            break;
        }
        }
    }
    autoNameCheck = new QCheckBox(QStringLiteral("自动生成名称"), dataGroup);
    autoNameCheck->setObjectName(QStringLiteral("CheckBox1"));
    autoNameCheck->setChecked(true);
    fieldGrid()->addWidget(autoNameCheck, fieldGrid()->rowCount(), 1, 1, 3, Qt::AlignLeft);
    fieldGrid()->setRowStretch(fieldGrid()->rowCount(), 1);

    const auto find = [this](auto*& member, const char* name) {
        member = dataGroup->findChild<std::remove_reference_t<decltype(*member)>*>(latin(name));
        Q_ASSERT(member);
    };
    find(nameEdit, "DBEdit2");
    find(agentPriceEdit, "DBEdit3");
    find(wholesalePriceEdit, "DBEdit4");
    find(priceInEdit, "DBEdit5");
    find(priceOutEdit, "DBEdit6");
    find(materialCostEdit, "DBEdit7");
    find(processingFeeEdit, "DBEdit8");
    find(stockMaxEdit, "DBEdit9");
    find(stockMinEdit, "DBEdit10");
    find(producerCodeEdit, "DBEdit11");
    find(producerNameEdit, "DBEdit12");
    find(supplierCodeEdit, "DBEdit13");
    find(supplierNameEdit, "DBEdit14");
    find(remarkEdit, "DBEdit15");
    find(brandBox, "DBComboBox1");
    find(categoryBox, "DBComboBox2");
    find(styleBox, "DBComboBox3");
    find(sizeBox, "DBComboBox4");
    find(colorBox, "DBComboBox5");
    find(unitBox, "DBComboBox6");
    find(fabricBox, "DBComboBox7");
    find(liningBox, "DBComboBox8");
    find(originBox, "DBComboBox9");
    find(packUnitBox, "DBComboBox10");
    find(pickProducerButton, "Button1");
    find(pickSupplierButton, "Button2");
}

void TFrmGoods::FormCreate()
{
    const ui::BusyCursor busy;
    DataHelpers::adjustComboBoxes(this);
    fillComboBoxes();
    openDataset(QStringLiteral("select * from goods order by gods_code"));
    setMode(Mode::Browsing);
}

void TFrmGoods::fillComboBoxes()
{
    const ui::BusyCursor busy;
    for (const char* name : fillOrder) {
        auto* box = dataGroup->findChild<ui::DbComboBox*>(latin(name));
        for (const GoodsControl& c : goodsControls)
            if (box->objectName() == QLatin1String(c.name))
                DataHelpers::mergeCombo(latin(c.listTable), latin(c.field), box);
    }
}

// The goods' own rules, then its barcode, each told at its box.
bool TFrmGoods::acceptRow()
{
    return barcodes->acceptCode(codeEdit) && acceptFieldRules() && barcodes->acceptBarcode();
}


void TFrmGoods::afterSave(const QString& code)
{
    fillComboBoxes();
    dataset()->locate(QStringLiteral("gods_code"), code);
}

void TFrmGoods::makeName()
{
    if (!autoNameCheck->isChecked() || !cmd_save->isEnabled())
        return;
    nameEdit->setText(brandBox->currentText().trimmed() + colorBox->currentText().trimmed()
                      + sizeBox->currentText().trimmed() + categoryBox->currentText().trimmed());
    // Into the row at once, so the grid shows the name while it is being made.
    nameEdit->commit();
}

void TFrmGoods::updateButtons()
{
    MasterDataWindow::updateButtons();
    if (cmd_style)
        cmd_style->setEnabled(cmd_add->isEnabled());
    if (barcodes)
        barcodes->setBrowsing(!isEditing());
}

void TFrmGoods::cmd_styleClick()
{
    StyleGenerationDialog dialog(this);
    if (ui::dialogs().exec(&dialog) != QDialog::Accepted)
        return;
    try {
        const QString first = dialog.firstWritten();
        fillComboBoxes();
        openDataset(QStringLiteral("select * from goods order by gods_code"));
        if (!first.isEmpty())
            dataset()->locate(QStringLiteral("gods_code"), first);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法刷新货品列表：%1").arg(ui::errorText(e)), this);
    }
}

void TFrmGoods::pickCompany(ui::DbEdit* code, ui::DbEdit* name, QWidget* next)
{
    const std::unique_ptr<TFrmCompFind> picker(new TFrmCompFind(this));
    picker->setStartText(code->text());
    if (ui::dialogs().exec(picker.get()) != QDialog::Accepted) {
        code->setFocus();
        return;
    }
    const db::Dataset* companies = dataModule().CompanyQ;
    const bool onRow = companies->isOpen() && companies->currentRow() >= 0;
    code->setText(onRow ? companies->text(QStringLiteral("comp_code")) : QString());
    name->setText(onRow ? companies->text(QStringLiteral("comp_name")) : QString());
    code->commit();
    name->commit();
    next->setFocus();
}

void TFrmGoods::pickProducer()
{
    pickCompany(producerCodeEdit, producerNameEdit, supplierCodeEdit);
}

void TFrmGoods::pickSupplier()
{
    pickCompany(supplierCodeEdit, supplierNameEdit, remarkEdit);
}

bool TFrmGoods::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == producerCodeEdit || watched == supplierCodeEdit) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool pick = (key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier)
                          || (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier);
        if (pick) {
            if (watched == producerCodeEdit)
                pickProducer();
            else
                pickSupplier();
            return true;
        }
        // Enter in the supplier code goes straight to "保存".
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == supplierCodeEdit && enter) {
            if (supplierCodeEdit->commit())
                cmd_save->setFocus();
            return true;
        }
    }
    return MasterDataWindow::eventFilter(watched, event);
}
