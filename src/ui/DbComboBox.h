#pragma once

#include <QComboBox>

namespace db {
class Dataset;
}

namespace ui {

class FieldLink;

// An editable combo box bound to a field; the window fills its items, and the
// field's value shows even when it is not among them.
class DbComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DbComboBox(QWidget* parent = nullptr);

    void bind(db::Dataset* dataset, const QString& field);
    db::Dataset* dataset() const;
    QString fieldName() const;
    bool commit();

private:
    void watchItems();

    FieldLink* m_link;
    bool m_modifiedBeforeItemsChanged = false;
};

} // namespace ui
