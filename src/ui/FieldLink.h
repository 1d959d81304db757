#pragma once

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <functional>

class QWidget;

namespace db {
class Dataset;
struct Field;
}

namespace ui {

// Binds one editor widget to a field of a dataset: shows the current row's
// value, writes back what the user changed, and makes a post take the text
// still being typed. The widget supplies how to show, read and configure itself.
class FieldLink : public QObject {
    Q_OBJECT
public:
    struct Editor {
        std::function<void(const QVariant& value, const db::Field* field)> show;
        std::function<QVariant()> read;
        // Called when the bound field's width or read-only flag may have changed.
        std::function<void(const db::Field* field)> configure;
    };

    FieldLink(QWidget* widget, Editor editor);

    void bind(db::Dataset* dataset, const QString& field);
    db::Dataset* dataset() const;
    QString fieldName() const { return m_field; }
    const db::Field* field() const;   // nullptr while unbound or the dataset lacks the field
    bool canModify() const;           // open, on a row, and the field takes values

    // The user changed the editor: the dataset enters Edit, so that a later post
    // (from a tool button that takes no focus) still runs the hooks that take the text.
    void userEdited();
    // Writes the editor's value when it differs. A refused value is shown in a
    // message and stays in the editor, which keeps the focus; returns false then.
    bool commit();
    // As commit, but throws; used inside a post, which the error must stop.
    void write();
    bool isModified() const;
    void refresh();

private:
    void configure();
    void onRowChanged(int row);
    void onStateChanged();

    QWidget* m_widget;
    Editor m_editor;
    QPointer<db::Dataset> m_dataset;
    QString m_field;
    QVariant m_shown;                 // what the editor read right after it was last shown
    int m_configuredSize = -2;
    bool m_configuredReadOnly = false;
    bool m_reporting = false;         // a refused value's message is showing
    bool m_refused = false;           // refused in the current event; the focus is on its way back
    QVariant m_refusedText;           // what was refused then
};

} // namespace ui
