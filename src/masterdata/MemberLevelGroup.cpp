#include "masterdata/MemberLevelGroup.h"

#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "ui/DbCheckBox.h"
#include "ui/DbEdit.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowParts.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace {

enum Column { Name, Discount, PointRate };

} // namespace

MemberLevelGroup::MemberLevelGroup(db::Dataset* shop, QWidget* parent)
    : QGroupBox(QStringLiteral("会员"), parent)
{
    setObjectName(QStringLiteral("MemberLevelGroup"));
    levelsTable = WindowParts::named<QTableWidget>("levelsTable", this);
    levelsTable->setColumnCount(3);
    levelsTable->setHorizontalHeaderLabels({QStringLiteral("会员等级"), QStringLiteral("折扣%"), QStringLiteral("每元积分")});
    levelsTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    levelsTable->verticalHeader()->hide();
    levelsTable->setMinimumHeight(110);
    addLevelButton = WindowParts::named<QPushButton>("addLevelButton", this);
    addLevelButton->setText(QStringLiteral("增加等级"));
    addLevelButton->setAutoDefault(false);
    removeLevelButton = WindowParts::named<QPushButton>("removeLevelButton", this);
    removeLevelButton->setText(QStringLiteral("删除等级"));
    removeLevelButton->setAutoDefault(false);
    pointValueEdit = WindowParts::named<ui::DbEdit>("pointValueEdit", this);
    pointValueEdit->bind(shop, QStringLiteral("point_value"));
    pointValueEdit->setPlaceholderText(QStringLiteral("100"));
    discountOnDiscountBox = WindowParts::named<ui::DbCheckBox>("discountOnDiscountBox", this);
    discountOnDiscountBox->setText(QStringLiteral("会员折上折"));
    discountOnDiscountBox->setToolTip(QStringLiteral("选中：会员折扣在促销价上再打；不选：取促销价和会员价中较低的"));
    discountOnDiscountBox->bind(shop, QStringLiteral("disc_on_disc"));

    connect(addLevelButton, &QPushButton::clicked, this, [this] {
        const int row = levelsTable->rowCount();
        levelsTable->insertRow(row);
        levelsTable->setItem(row, Discount, new QTableWidgetItem(QStringLiteral("100")));
        levelsTable->setItem(row, PointRate, new QTableWidgetItem(QStringLiteral("1")));
        levelsTable->setCurrentCell(row, Name);
        levelsTable->setFocus();
    });
    connect(removeLevelButton, &QPushButton::clicked, this, [this] {
        if (const int row = levelsTable->currentRow(); row >= 0)
            levelsTable->removeRow(row);
    });

    auto* grid = new QGridLayout(this);
    grid->addWidget(levelsTable, 0, 0, 1, 4);
    grid->addWidget(addLevelButton, 1, 0);
    grid->addWidget(removeLevelButton, 1, 1);
    grid->addWidget(WindowParts::caption(QStringLiteral("积分抵现(多少积分抵1元)"), pointValueEdit, this), 2, 0, 1, 2);
    grid->addWidget(pointValueEdit, 2, 2);
    grid->addWidget(discountOnDiscountBox, 2, 3);
}

void MemberLevelGroup::load()
{
    const QList<MemberLevels::Level> levels = MemberLevels::all(dataModule().AdoConn);
    levelsTable->setRowCount(int(levels.size()));
    for (int row = 0; row < levels.size(); ++row) {
        const MemberLevels::Level& level = levels.at(row);
        levelsTable->setItem(row, Name, new QTableWidgetItem(level.name));
        levelsTable->setItem(row, Discount, new QTableWidgetItem(DataHelpers::amountText(level.discount)));
        levelsTable->setItem(row, PointRate, new QTableWidgetItem(DataHelpers::amountText(level.pointRate)));
    }
}

void MemberLevelGroup::refuse(const QString& message, int row, int column)
{
    ui::inform(message, window());
    if (row >= 0)
        levelsTable->setCurrentCell(row, column);
    levelsTable->setFocus();
}

std::optional<QList<MemberLevels::Level>> MemberLevelGroup::typed()
{
    // The cell being typed in counts.
    if (QWidget* editor = QApplication::focusWidget(); editor && levelsTable->viewport()->isAncestorOf(editor))
        QMetaObject::invokeMethod(levelsTable, "commitData", Q_ARG(QWidget*, editor));
    const auto text = [this](int row, int column) {
        const QTableWidgetItem* item = levelsTable->item(row, column);
        return item ? item->text().trimmed() : QString();
    };
    QList<MemberLevels::Level> levels;
    for (int row = 0; row < levelsTable->rowCount(); ++row) {
        MemberLevels::Level level{text(row, Name)};
        bool ok = false;
        level.discount = text(row, Discount).toDouble(&ok);
        if (!ok) {
            refuse(QStringLiteral("会员等级第%1行：折扣“%2”不是数").arg(row + 1).arg(text(row, Discount)), row, Discount);
            return std::nullopt;
        }
        level.pointRate = text(row, PointRate).toDouble(&ok);
        if (!ok) {
            refuse(QStringLiteral("会员等级第%1行：每元积分“%2”不是数").arg(row + 1).arg(text(row, PointRate)), row, PointRate);
            return std::nullopt;
        }
        levels.append(level);
    }
    return levels;
}

bool MemberLevelGroup::check()
{
    const auto levels = typed();
    if (!levels)
        return false;
    if (const MemberLevels::Refusal why = MemberLevels::refusal(dataModule().AdoConn, *levels); !why.isEmpty()) {
        refuse(why.message, why.row, Name);
        return false;
    }
    const QString value = pointValueEdit->text().trimmed();
    if (!value.isEmpty()) {
        bool ok = false;
        const double points = value.toDouble(&ok);
        const QString why = ok ? MemberLevels::pointValueRefusal(points) : MemberLevels::pointValueRefusal(-1);
        if (!why.isEmpty()) {
            WindowParts::refuse(pointValueEdit, ok ? why : QStringLiteral("积分抵现“%1”不是数").arg(value));
            return false;
        }
    }
    return true;
}

bool MemberLevelGroup::save()
{
    const auto levels = typed();
    if (!levels)
        return false;
    try {
        MemberLevels::save(dataModule().AdoConn, *levels);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("会员等级没有保存：%1").arg(ui::errorText(e)), this);
        return false;
    }
    return true;
}
