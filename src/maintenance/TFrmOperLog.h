#pragma once

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ui {
class DbGrid;
}

// "操作日志": reads the change log by date range, user, action and key text and
// prints what it lists. The log is only read: no window changes or deletes a line.
class TFrmOperLog : public QDialog {
    Q_OBJECT
public:
    explicit TFrmOperLog(QWidget* parent = nullptr);
    ~TFrmOperLog() override;

    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;
    QComboBox* UserBox;     // "全部" or a user id
    QComboBox* ActionBox;   // "全部" or an action
    QLineEdit* KeyEdit;     // part of a bill number or code
    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    ui::DbGrid* logGrid;
    QPlainTextEdit* DetailText;   // the current line's detail
    QLabel* NoteLabel;

public slots:
    void cmd_findClick();
    void cmd_prinClick();

private:
    void fillChoices();
    void showDetail();
    bool m_listed = false;
};
