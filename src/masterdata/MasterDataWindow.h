#pragma once

#include "shop/MasterDataRules.h"
#include "shop/SheetImport.h"
#include "ui/ModeWindow.h"

#include <QList>
#include <optional>

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace db {
class Dataset;
}

namespace ui {
class DbComboBox;
class DbEdit;
class DbGrid;
}

// The common frame of the goods and company windows: one table edited through a
// shared dataset, keyed by the code in codeEdit, with the tool-bar buttons, the
// group of the row's fields, the quick find and the list of rows.
//
// Beyond plain add/edit/save/cancel/delete it refuses a code that already
// exists, asks again before deleting a code other records still use, and
// reports a failed database step instead of dropping it.
class MasterDataWindow : public ui::ModeWindow {
    Q_OBJECT
public:
    // A column of another table that stores this table's code.
    struct CodeUse {
        QString table;
        QString column;
        QString what;   // what the user calls those records: "进货单"
    };
    struct Setup {
        db::Dataset* dataset = nullptr;
        QString table;          // "company"
        QString codeField;      // "comp_code"
        QString codeCaption;    // "公司编码": names the code in messages
        QString nameField;      // "comp_name": names the row in the delete question
        QString findLabel;      // the label of the quick-find box
        int position = 0;       // in the function list, for the rights
        QList<CodeUse> uses;
        // What the grid's export writes: every field the window edits, as the import
        // reads it; none: the columns shown.
        std::optional<SheetImport::Kind> importKind = SheetImport::Kind::Goods;
    };

    QPushButton* cmd_add;
    QPushButton* cmd_edit;
    QPushButton* cmd_dele;
    QPushButton* cmd_save;
    QPushButton* cmd_canc;
    QPushButton* cmd_exit;
    QGroupBox* dataGroup;
    QGroupBox* findGroup;
    QLineEdit* findEdit;
    QPushButton* cmd_find;
    ui::DbGrid* listGrid;
    ui::DbEdit* codeEdit;

    // How many records of other tables hold the code, and which ones ("进货单 2 条").
    int countUses(const QString& code, QStringList* details = nullptr) const;

public slots:
    void cmd_addClick();
    void cmd_editClick();
    void cmd_deleClick();
    void cmd_saveClick();
    void cmd_cancClick();
    void cmd_findClick();
    void cmd_exitClick();

protected:
    MasterDataWindow(Setup setup, QWidget* parent);

    // The tool bar: the six buttons in their order; the window lays it out once.
    QHBoxLayout* toolBarLayout();
    // Bound controls of the data group, named as given.
    ui::DbEdit* makeEdit(const QString& name, const QString& field);
    ui::DbComboBox* makeCombo(const QString& name, const QString& field);
    // Lays the data group out as label/control pairs, two to a row; a wide control takes a whole row.
    void addField(const QString& label, QWidget* control, bool wide = false);
    void addFieldRow(const QString& label, QLayout* controls);
    QGridLayout* fieldGrid() const { return m_fieldGrid; }

    // Reopens the dataset over the whole table in code order.
    void openDataset(const QString& sql);
    db::Dataset* dataset() const { return m_setup.dataset; }

    void updateButtons() override;
    void showEvent(QShowEvent* event) override;

    // Checks the row's values before it is posted; a refusal has been told at its box.
    virtual bool acceptRow() { return acceptFieldRules(); }
    // The shop's rules of the table's own fields, told at the refused box.
    bool acceptFieldRules();
    // The first refusal told at its box (or in a box of its own); true when there is none.
    bool acceptRefusals(const QList<MasterDataRules::Refusal>& refusals, const QHash<QString, QVariant>& values);
    // The current row's values of the fields.
    QHash<QString, QVariant> rowValues(const QStringList& fields) const;
    // After a saved row is back in browse; may throw (reported as a failed save).
    virtual void afterSave(const QString& code) { Q_UNUSED(code); }
    // After a cancel has returned the window to browse.
    virtual void afterCancel() {}
    // Makes the row the quick find names current: by its whole code unless the window finds otherwise.
    virtual void findRow(const QString& text);

private:
    bool codeTaken(const QString& code) const;
    void report(const QString& what, const std::exception& error);

    Setup m_setup;
    QString m_codeBeforeEdit;
    QGridLayout* m_fieldGrid;
    QHBoxLayout* m_toolBar;   // unowned until the window lays it out
    int m_fieldRow = 0;
    int m_fieldColumn = 0;
};
