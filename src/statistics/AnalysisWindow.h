#pragma once

#include <QDialog>
#include <QVariant>
#include <exception>
#include <functional>
#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;
class Worker;

namespace db {
class Connection;
}

// The frame of the analysis reports: 查询 reads on a thread and a connection of
// its own, so the window answers meanwhile; the result fills a read-only table
// that 打印 previews and 导出 (and Ctrl+E) writes to a spreadsheet. Each window
// gives its choices, its reading and how it shows what was read.
class AnalysisWindow : public QDialog {
    Q_OBJECT
public:
    ~AnalysisWindow() override;

    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_export;
    QPushButton* cmd_exit;
    QTableView* ResultGrid;
    QLabel* ReadingLabel;   // "读取中…" while a reading runs

    QStandardItemModel* model() const { return m_model; }
    bool isReading() const;

public slots:
    // Starts reading the present choices; a reading under way is dropped and started again.
    void cmd_findClick();
    // Previews the table as it shows, under the choices it was read with.
    void cmd_prinClick();
    void cmd_exportClick();
    void cmd_exitClick();

signals:
    // A reading is on the screen (or its failure was told).
    void resultShown();

protected:
    AnalysisWindow(const QString& caption, const QString& name, QWidget* parent);

    // The reading of the present choices: runs on the reader's thread with its own
    // connection and keeps what it read in the window for showResult.
    using Reading = std::function<void(db::Connection&)>;
    virtual Reading reading() = 0;
    // Fills the table (and any chart) from what the last reading kept.
    virtual void showResult() = 0;
    // The present choices in words, for the print-out ("款号  2026-03-01 至 2026-03-31").
    virtual QString choiceText() const = 0;

    // The window's rows: the tool bar, the choices (`leading` widgets, then labelled
    // boxes) in one group, the table, and a chart below it when there is one.
    void layOut(const QList<QWidget*>& leading, const QList<std::pair<QString, QWidget*>>& labelled,
                QWidget* chart = nullptr);
    // Starts the table again with these column captions.
    void startTable(const QStringList& captions);
    // A row of the table: a number is shown as every list shows it and exported as a number;
    // a double NaN shows an empty cell.
    void addRow(const QVariantList& cells);
    // A percentage to one decimal, or an empty cell for none.
    static QVariant percent(const std::optional<double>& value);

    static QDateEdit* datePicker(const char* name, const QDate& date);
    static QComboBox* choiceBox(const char* name, const QStringList& items);

private:
    void readingFinished();
    bool isNumberColumn(int column) const;

    QStandardItemModel* m_model;
    Worker* m_reader;
    std::exception_ptr m_failure;
    bool m_readAgain = false;
    QString m_choices;   // of the reading shown
    QString m_readingChoices;
};
