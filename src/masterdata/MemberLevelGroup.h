#pragma once

#include "shop/MemberLevels.h"

#include <QGroupBox>

#include <optional>

class QPushButton;
class QTableWidget;

namespace db {
class Dataset;
}
namespace ui {
class DbCheckBox;
class DbEdit;
}

// 基本设置's 会员: the member levels (name, discount %, points a yuan), the
// points that pay one yuan (积分抵现) and whether a level's discount applies on
// top of a markdown (会员折上折). The levels are stored on their own; the two
// settings with the shop's row.
class MemberLevelGroup : public QGroupBox {
    Q_OBJECT
public:
    MemberLevelGroup(db::Dataset* shop, QWidget* parent = nullptr);

    QTableWidget* levelsTable;
    QPushButton* addLevelButton;
    QPushButton* removeLevelButton;
    ui::DbEdit* pointValueEdit;
    ui::DbCheckBox* discountOnDiscountBox;

    // Shows the stored levels.
    void load();
    // Refuses what cannot be stored (the message names the level); the focus goes there.
    bool check();
    // False (after saying so) when the levels were not stored.
    bool save();

private:
    // The levels as typed; nothing (after saying so) when a number is not one.
    std::optional<QList<MemberLevels::Level>> typed();
    void refuse(const QString& message, int row, int column);
};
