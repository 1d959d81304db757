#pragma once

#include "masterdata/MasterDataWindow.h"

namespace ui {
class DbDateEdit;
}

// "会员资料": member cards, kept in `member` through the shared MemberQ. The
// quick find takes a scanned or typed card, part of a phone or of a name;
// 会员档案 (or Enter or a double click on the list) opens the member's page.
class TFrmMember : public MasterDataWindow {
    Q_OBJECT
public:
    explicit TFrmMember(QWidget* parent = nullptr);

    ui::DbEdit* nameEdit;
    ui::DbEdit* mobileEdit;
    ui::DbComboBox* levelBox;
    ui::DbDateEdit* birthdayEdit;
    ui::DbDateEdit* joinDateEdit;
    ui::DbEdit* pointsEdit;   // 积分: changed only by sales, returns and redeeming
    ui::DbEdit* remarkEdit;
    QPushButton* pageButton;

public slots:
    void openPage();

protected:
    bool acceptRow() override;
    void afterCancel() override;
    void findRow(const QString& text) override;
    void updateButtons() override;

private:
    void FormCreate();

    QString m_lastFind;
};
