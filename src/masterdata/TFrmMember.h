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

    ui::DbEdit* DBEdit2;          // 姓名
    ui::DbEdit* DBEdit3;          // 手机
    ui::DbComboBox* DBlevel_name;
    ui::DbDateEdit* DBbirthday;
    ui::DbDateEdit* DBjoin_date;
    ui::DbEdit* DBEdit4;          // 积分: changed only by sales, returns and redeeming
    ui::DbEdit* DBEdit5;          // 备注
    QPushButton* cmd_page;

public slots:
    void cmd_pageClick();

protected:
    bool acceptRow() override;
    void afterCancel() override;
    void findRow(const QString& text) override;
    void updateButtons() override;

private:
    void FormCreate();

    QString m_lastFind;
};
