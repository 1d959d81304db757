#pragma once

#include <QGroupBox>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// 基本设置's automatic-backup group: the folder (empty: backup/ beside data/),
// the number of backups kept, the hour of the daily backup and whether this PC
// makes the automatic backups of the shop's server, kept in system.ini.
class BackupSettingsBox : public QGroupBox {
    Q_OBJECT
public:
    explicit BackupSettingsBox(QWidget* parent = nullptr);

    QLineEdit* folder;
    QPushButton* choose;
    QSpinBox* keep;
    QSpinBox* hour;
    QCheckBox* serverPc;

    // Shows what system.ini holds.
    void load();
    // Refuses a typed folder that cannot take backups, with the reason; the focus goes to it.
    bool check();
    // Writes the settings; says so and returns false when system.ini cannot be written.
    bool save();

private:
    void chooseFolder();
};
