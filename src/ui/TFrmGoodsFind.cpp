#include "ui/TFrmGoodsFind.h"

#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/PickerNote.h"
#include "ui/WindowPlacement.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

TFrmGoodsFind::TFrmGoodsFind(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmGoodsFind"));
    setWindowTitle(QStringLiteral("货品查询"));
    ui::setFixedWindowSize(this, 680, 420);

    codeEdit = new QLineEdit(this);
    codeEdit->setObjectName(QStringLiteral("Edit1"));
    nameBox = new QComboBox(this);
    nameBox->setObjectName(QStringLiteral("ComboBox1"));
    nameBox->setEditable(true);
    nameBox->setInsertPolicy(QComboBox::NoInsert);
    auto* search = new QHBoxLayout;
    search->addWidget(WindowParts::caption(QStringLiteral("货品编码"), codeEdit, this));
    search->addWidget(codeEdit, 1);
    search->addSpacing(12);
    search->addWidget(WindowParts::caption(QStringLiteral("货品名称"), nameBox, this));
    search->addWidget(nameBox, 2);
    styleEdit = new QLineEdit(this);
    styleEdit->setObjectName(QStringLiteral("styleEdit"));
    search->addSpacing(12);
    search->addWidget(WindowParts::caption(QStringLiteral("款号"), styleEdit, this));
    search->addWidget(styleEdit, 1);

    goodsGrid = new ui::DbGrid(this);
    goodsGrid->setObjectName(QStringLiteral("DBGrid1"));
    goodsGrid->setReadOnly(true);
    goodsGrid->setRowSelect(true);
    const QList<QPair<QString, QString>> columns = {
        {QStringLiteral("gods_code"), QStringLiteral("货品编码")}, {QStringLiteral("gods_name"), QStringLiteral("货品名称")},
        {QStringLiteral("gods_kind"), QStringLiteral("分类")},     {QStringLiteral("gods_spec"), QStringLiteral("品牌")},
        {QStringLiteral("gods_type"), QStringLiteral("款式")},     {QStringLiteral("gods_color"), QStringLiteral("颜色")},
        {QStringLiteral("gods_size"), QStringLiteral("尺码")},     {QStringLiteral("gods_unit"), QStringLiteral("单位")},
        {QStringLiteral("styl_code"), QStringLiteral("款号")}};
    for (const auto& [field, title] : columns)
        goodsGrid->addColumn(field, title, field == QLatin1String("gods_name") ? 140 : 70);

    cmd_prin = new QPushButton(QStringLiteral("选取[&O]"), this);
    cmd_prin->setObjectName(QStringLiteral("cmd_prin"));
    cmd_exit = new QPushButton(QStringLiteral("退出[&X]"), this);
    cmd_exit->setObjectName(QStringLiteral("cmd_exit"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmd_prin, cmd_exit}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }

    note = new QLabel(this);
    note->setObjectName(QStringLiteral("FindNote"));
    note->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(note);
    layout->addWidget(goodsGrid, 1);
    layout->addLayout(buttons);

    FormCreate();

    connect(codeEdit, &QLineEdit::textChanged, this, &TFrmGoodsFind::jumpToCode);
    connect(nameBox, &QComboBox::currentTextChanged, this, &TFrmGoodsFind::jumpToName);
    connect(styleEdit, &QLineEdit::textChanged, this, &TFrmGoodsFind::styleEditChange);
    connect(cmd_prin, &QPushButton::clicked, this, &TFrmGoodsFind::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &TFrmGoodsFind::cmd_exitClick);
    connect(goodsGrid, &QAbstractItemView::doubleClicked, this, &TFrmGoodsFind::cmd_prinClick);
    for (QWidget* box : {static_cast<QWidget*>(codeEdit), static_cast<QWidget*>(nameBox), static_cast<QWidget*>(styleEdit),
                         static_cast<QWidget*>(goodsGrid)})
        box->installEventFilter(this);
}

void TFrmGoodsFind::setStartText(const QString& code)
{
    const QString typed = code.trimmed();
    try {
        const ui::BusyCursor busy;
        db::Dataset* goods = dataModule().GoodsFindQ;
        goods->close();
        goods->setSql(QStringLiteral("select * from goods where lower(gods_code) like :code escape '\\' "
                                     "or lower(gods_name) like :name escape '\\' order by gods_code"));
        goods->setParameter(QStringLiteral("code"), WindowParts::containingPattern(typed));
        goods->setParameter(QStringLiteral("name"), WindowParts::containingPattern(typed));
        goods->open();
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("查找失败：%1").arg(ui::errorText(e)), this);
    }
    m_typed = typed;
    note->setText(QStringLiteral("编码或名称含“%1”的货品").arg(typed));
    note->show();
    codeEdit->setText(typed);
    codeEdit->selectAll();
    codeEdit->setFocus();
}

bool TFrmGoodsFind::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmd_prinClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmGoodsFind::FormCreate()
{
    const ui::BusyCursor busy;
    DataHelpers::adjustComboBoxes(this);
    DataHelpers::fillCombo(QStringLiteral("goods"), QStringLiteral("gods_name"), nameBox);
    db::Dataset* goods = dataModule().GoodsFindQ;
    goods->close();
    goods->setSql(QStringLiteral("select * from goods order by gods_code"));
    goods->open();
    goodsGrid->setDataset(goods);
}

void TFrmGoodsFind::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ui::centreOnScreen(this);
}

void TFrmGoodsFind::jumpToCode()
{
    try {
        db::Dataset* goods = dataModule().GoodsFindQ;
        const QString typed = codeEdit->text().trimmed();
        if (const int row = typed.isEmpty() ? -1 : goods->findStarting(QStringLiteral("gods_code"), typed); row >= 0)
            goods->moveTo(row);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("查找失败：%1").arg(ui::errorText(e)), this);
    }
}

void TFrmGoodsFind::jumpToName()
{
    // An unknown name gives an empty code, which finds nothing: the row stays.
    const QString code = DataHelpers::lookup(QStringLiteral("goods"), QStringLiteral("gods_name"),
                                             nameBox->currentText(), QStringLiteral("gods_code"));
    // Located also when the box already held this code.
    const QSignalBlocker quiet(codeEdit);
    codeEdit->setText(code);
    jumpToCode();
}

void TFrmGoodsFind::styleEditChange()
{
    try {
        // Goods are listed by code, so the first row of the style is its first goods.
        dataModule().GoodsFindQ->locate(QStringLiteral("styl_code"), styleEdit->text().trimmed());
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("查找失败：%1").arg(ui::errorText(e)), this);
    }
}

void TFrmGoodsFind::cmd_prinClick()
{
    if (dataModule().GoodsFindQ->recordCount() > 0) {
        accept();
        return;
    }
    ui::sayNothingToChoose(note, QStringLiteral("货品"), m_typed);
}

void TFrmGoodsFind::cmd_exitClick()
{
    reject();
}
