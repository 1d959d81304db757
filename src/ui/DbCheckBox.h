#pragma once

#include <QCheckBox>

namespace db {
class Dataset;
}

namespace ui {

class FieldLink;

// A check box bound to a field that holds one text when checked and another when not.
class DbCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DbCheckBox(QWidget* parent = nullptr);

    void bind(db::Dataset* dataset, const QString& field);
    db::Dataset* dataset() const;
    QString fieldName() const;
    // "1" and "0" unless told otherwise.
    void setValues(const QString& checked, const QString& unchecked);
    bool commit();

private:
    FieldLink* m_link;
    QString m_checked = QStringLiteral("1");
    QString m_unchecked = QStringLiteral("0");
};

} // namespace ui
