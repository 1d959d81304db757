#pragma once

#include <QDateEdit>

namespace db {
class Dataset;
}

namespace ui {

class FieldLink;

// A date picker bound to a date-time field; the time of day is never stored.
// An empty field shows blank (the minimum date stands for it); a digit typed
// into the blank starts a date from today's, the year first, so 19901213 is typed
// as into any date box.
class DbDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit DbDateEdit(QWidget* parent = nullptr);

    void bind(db::Dataset* dataset, const QString& field);
    db::Dataset* dataset() const;
    QString fieldName() const;
    bool commit();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    FieldLink* m_link;
    bool m_showing = false;
};

} // namespace ui
