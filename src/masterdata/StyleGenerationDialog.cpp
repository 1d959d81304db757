#include "masterdata/StyleGenerationDialog.h"

#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "shop/Amounts.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

using WindowParts::named;

StyleGenerationDialog::StyleGenerationDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("StyleGenerationDialog"));
    setWindowTitle(QStringLiteral("按款式生成"));
    resize(860, 600);

    styleEdit = named<QLineEdit>("styleEdit", this);
    styleEdit->setMaxLength(20);
    stemEdit = named<QLineEdit>("stemEdit", this);
    brandBox = named<QComboBox>("brandBox", this);
    kindBox = named<QComboBox>("kindBox", this);
    typeBox = named<QComboBox>("typeBox", this);
    unitBox = named<QComboBox>("unitBox", this);
    priceInEdit = named<QLineEdit>("priceInEdit", this);
    priceOutEdit = named<QLineEdit>("priceOutEdit", this);
    patternEdit = named<QLineEdit>("patternEdit", this);
    patternEdit->setText(StyleGeneration::defaultPattern);
    auto* fields = new QGridLayout;
    WindowParts::addLabelled(fields, {{QStringLiteral("款号"), styleEdit}, {QStringLiteral("名称"), stemEdit},
                                      {QStringLiteral("编码规则"), patternEdit}, {QStringLiteral("品牌"), brandBox},
                                      {QStringLiteral("分类"), kindBox}, {QStringLiteral("款式"), typeBox},
                                      {QStringLiteral("单位"), unitBox}, {QStringLiteral("建议进价"), priceInEdit},
                                      {QStringLiteral("建议售价"), priceOutEdit}},
                             3);

    colorList = named<QListWidget>("colorList", this);
    sizeList = named<QListWidget>("sizeList", this);
    preview = named<QTableWidget>("preview", this);
    preview->setColumnCount(5);
    preview->setHorizontalHeaderLabels({QStringLiteral("编码"), QStringLiteral("名称"), QStringLiteral("颜色"),
                                        QStringLiteral("尺码"), QStringLiteral("状态")});
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    preview->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    preview->verticalHeader()->setVisible(false);
    preview->setFocusPolicy(Qt::ClickFocus);
    auto* lists = new QHBoxLayout;
    for (auto [caption, list] : {std::pair{QStringLiteral("颜色"), colorList}, std::pair{QStringLiteral("尺码"), sizeList}}) {
        auto* box = new QVBoxLayout;
        box->addWidget(WindowParts::caption(caption, list, this));
        box->addWidget(list, 1);
        list->setMaximumWidth(150);
        lists->addLayout(box);
    }
    auto* previewBox = new QVBoxLayout;
    auto* count = named<QLabel>("previewCaption", this);
    count->setText(QStringLiteral("将生成的货品"));
    count->setBuddy(preview);
    previewBox->addWidget(count);
    previewBox->addWidget(preview, 1);
    lists->addLayout(previewBox, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmd_make = WindowParts::addButton(buttons, "cmd_make", QStringLiteral("生成[&G]"));
    cmd_canc = WindowParts::addButton(buttons, "cmd_canc", QStringLiteral("取消[&C]"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);

    // One preview after a burst of typing or ticking.
    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(0);
    connect(m_refresh, &QTimer::timeout, this, &StyleGenerationDialog::showPreview);
    for (QLineEdit* box : {styleEdit, stemEdit, patternEdit})
        connect(box, &QLineEdit::textChanged, m_refresh, qOverload<>(&QTimer::start));
    for (QListWidget* list : {colorList, sizeList})
        connect(list, &QListWidget::itemChanged, m_refresh, qOverload<>(&QTimer::start));
    connect(cmd_make, &QPushButton::clicked, this, &StyleGenerationDialog::cmd_makeClick);
    connect(cmd_canc, &QPushButton::clicked, this, &QDialog::reject);

    const ui::BusyCursor busy;
    try {
        for (auto [column, box] : {std::pair{"gods_spec", brandBox}, std::pair{"gods_kind", kindBox},
                                   std::pair{"gods_type", typeBox}, std::pair{"gods_unit", unitBox}}) {
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            DataHelpers::fillCombo(QStringLiteral("baseitem"), QString::fromLatin1(column), box);
            box->setCurrentIndex(-1);
        }
        m_colors = StyleGeneration::colorList(dataModule().AdoConn);
        m_sizes = StyleGeneration::sizeList(dataModule().AdoConn);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法读取颜色表和尺码表：%1").arg(ui::errorText(e)), this);
    }
    fillList(colorList, m_colors);
    fillList(sizeList, m_sizes);
    styleEdit->setFocus();
}

void StyleGenerationDialog::fillList(QListWidget* list, const QList<StyleGeneration::CodeItem>& items)
{
    for (const StyleGeneration::CodeItem& item : items) {
        auto* row = new QListWidgetItem(item.code.isEmpty() ? item.name : item.code + QLatin1Char(' ') + item.name, list);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
}

QList<StyleGeneration::CodeItem> StyleGenerationDialog::ticked(const QListWidget* list) const
{
    const QList<StyleGeneration::CodeItem>& items = list == colorList ? m_colors : m_sizes;
    QList<StyleGeneration::CodeItem> result;
    for (int row = 0; row < list->count() && row < items.size(); ++row)
        if (list->item(row)->checkState() == Qt::Checked)
            result << items.at(row);
    return result;
}

bool StyleGenerationDialog::readRequest(StyleGeneration::Request& request)
{
    request.style = styleEdit->text();
    request.stem = stemEdit->text();
    request.brand = brandBox->currentText();
    request.kind = kindBox->currentText();
    request.type = typeBox->currentText();
    request.unit = unitBox->currentText();
    request.pattern = patternEdit->text().trimmed();
    request.colors = ticked(colorList);
    request.sizes = ticked(sizeList);
    for (auto [box, caption, price] : {std::tuple{priceInEdit, QStringLiteral("建议进价"), &request.purchasePrice},
                                       std::tuple{priceOutEdit, QStringLiteral("建议售价"), &request.salePrice}}) {
        try {
            *price = ui::parseNumber(box->text(), shop::amounts::priceDecimals);
        } catch (const ui::InputError& e) {
            WindowParts::refuse(box, ui::errorText(e));
            return false;
        }
        if (price->toDouble() < 0) {
            WindowParts::refuse(box, QStringLiteral("%1“%2”不能为负数").arg(caption, box->text().trimmed()));
            return false;
        }
    }
    return true;
}

void StyleGenerationDialog::showPreview()
{
    StyleGeneration::Request request;
    request.style = styleEdit->text();
    request.stem = stemEdit->text();
    request.pattern = patternEdit->text().trimmed();
    request.colors = ticked(colorList);
    request.sizes = ticked(sizeList);
    QList<StyleGeneration::Planned> planned;
    try {
        if (!request.style.trimmed().isEmpty())
            planned = StyleGeneration::plan(dataModule().AdoConn, request);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法预览：%1").arg(ui::errorText(e)), this);
    }
    preview->setRowCount(int(planned.size()));
    int fresh = 0;
    for (int row = 0; row < planned.size(); ++row) {
        const StyleGeneration::Planned& p = planned.at(row);
        const QStringList texts = {p.code, p.name, p.color, p.size,
                                   p.exists ? QStringLiteral("已存在，跳过") : QStringLiteral("新增")};
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts.at(column));
            if (p.exists)
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            preview->setItem(row, column, item);
        }
        fresh += p.exists ? 0 : 1;
    }
    if (auto* caption = findChild<QLabel*>(QStringLiteral("previewCaption")))
        caption->setText(QStringLiteral("将生成的货品：新增 %1 种，已存在 %2 种").arg(fresh).arg(planned.size() - fresh));
}

void StyleGenerationDialog::cmd_makeClick()
{
    StyleGeneration::Request request;
    if (!readRequest(request))
        return;
    db::Connection& connection = dataModule().AdoConn;
    QList<StyleGeneration::Planned> planned;
    try {
        planned = StyleGeneration::plan(connection, request);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法生成：%1").arg(ui::errorText(e)), this);
        return;
    }
    if (const QString why = StyleGeneration::refusal(request, planned); !why.isEmpty()) {
        ui::inform(why, this);
        return;
    }
    const auto fresh = std::find_if(planned.cbegin(), planned.cend(), [](const auto& p) { return !p.exists; });
    if (fresh == planned.cend()) {
        ui::inform(QStringLiteral("所选颜色和尺码的货品都已存在，没有新货品可生成"), this);
        return;
    }
    int written = 0;
    {
        const ui::BusyCursor busy;
        try {
            written = StyleGeneration::generate(connection, request);
        } catch (const std::exception& e) {
            ui::showError(QStringLiteral("生成失败，没有写入任何货品：%1").arg(ui::errorText(e)), this);
            return;
        }
    }
    m_firstWritten = fresh->code;
    ui::inform(QStringLiteral("已生成 %1 种货品").arg(written), this);
    accept();
}
