#pragma once

#include <QPlainTextEdit>

namespace db {
class Dataset;
}

namespace ui {

class FieldLink;

// A multi-line text bound to a field; it commits when it loses the focus.
class DbMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DbMemo(QWidget* parent = nullptr);

    void bind(db::Dataset* dataset, const QString& field);
    db::Dataset* dataset() const;
    QString fieldName() const;
    bool commit();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void limitLength();

    FieldLink* m_link;
    int m_maxLength = 0;
    bool m_showing = false;
};

} // namespace ui
