#pragma once

#include <QLineEdit>

namespace db {
class Dataset;
}

namespace ui {

class FieldLink;

// A line edit bound to a field of a dataset's current row.
class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DbEdit(QWidget* parent = nullptr);

    void bind(db::Dataset* dataset, const QString& field);
    db::Dataset* dataset() const;
    QString fieldName() const;
    bool commit();   // false when the dataset refused the value (the message was shown)

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    FieldLink* m_link;
};

} // namespace ui
