#include "ui/DbDateEdit.h"

#include "core/Clock.h"
#include "db/Field.h"
#include "ui/FieldLink.h"

#include <QCalendarWidget>
#include <QDateTime>
#include <QKeyEvent>

namespace ui {

namespace {
const QDate blankDate(1900, 1, 1);
}

DbDateEdit::DbDateEdit(QWidget* parent)
    : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    setMinimumDate(blankDate);
    setSpecialValueText(QStringLiteral(" "));
    FieldLink::Editor editor;
    editor.show = [this](const QVariant& value, const db::Field*) {
        m_showing = true;
        const QDate date = value.typeId() == QMetaType::QDate ? value.toDate() : value.toDateTime().date();
        setDate(date.isValid() && date > blankDate ? date : blankDate);
        m_showing = false;
    };
    editor.read = [this] { return date() == blankDate ? QVariant() : QVariant(date()); };
    editor.configure = [this](const db::Field* field) {
        setReadOnly(field && (field->readOnly || field->kind != db::FieldKind::Data));
    };
    m_link = new FieldLink(this, editor);
    connect(this, &QDateEdit::dateChanged, m_link, [this] {
        if (!m_showing)
            m_link->userEdited();
    });
    connect(this, &QDateEdit::editingFinished, m_link, &FieldLink::commit);
    // A day picked in the calendar keeps the focus here, so no editingFinished follows.
    QCalendarWidget* calendar = calendarWidget();
    connect(calendar, &QCalendarWidget::clicked, m_link, &FieldLink::commit);
    connect(calendar, &QCalendarWidget::activated, m_link, &FieldLink::commit);
}

void DbDateEdit::bind(db::Dataset* dataset, const QString& field)
{
    m_link->bind(dataset, field);
}

db::Dataset* DbDateEdit::dataset() const
{
    return m_link->dataset();
}

QString DbDateEdit::fieldName() const
{
    return m_link->fieldName();
}

bool DbDateEdit::commit()
{
    return m_link->commit();
}

void DbDateEdit::keyPressEvent(QKeyEvent* event)
{
    // The blank has no sections a digit could go into.
    if (date() == blankDate && !isReadOnly() && event->text().size() == 1 && event->text().at(0).isDigit()) {
        setDate(Clock::today());
        setSelectedSection(QDateTimeEdit::YearSection);
    }
    QDateEdit::keyPressEvent(event);
}

} // namespace ui
