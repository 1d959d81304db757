#pragma once

#include "shop/SheetImport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "导入": goods, companies, employees or opening stock from an .xlsx or CSV
// file. Every row is checked first; the report lists what was refused, and with
// anything refused nothing is written.
class TFrmImport : public QDialog {
    Q_OBJECT
public:
    explicit TFrmImport(QWidget* parent = nullptr);

    SheetImport::Kind kind() const;
    const QList<SheetImport::Problem>& problems() const { return m_problems; }

public slots:
    void cmd_fileClick();
    // Reads, checks and, when clean, writes the chosen file; true when written.
    bool cmd_importClick();
    void cmd_templateClick();
    void cmd_reportClick();

private:
    // The checked rows' problems, with the code-list values not added when `listRefused`.
    void showReport(const SheetImport::Checked& checked, bool listRefused = false);
    void requeryShared();

    QComboBox* KindBox;
    QLineEdit* FileEdit;
    QCheckBox* UpdateBox;
    QLabel* SummaryLabel;
    QTableWidget* ReportGrid;
    QPushButton* cmd_report;
    QList<SheetImport::Problem> m_problems;
};
