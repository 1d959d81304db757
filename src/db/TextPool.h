#pragma once

#include <QByteArrayView>
#include <QString>
#include <vector>

namespace db {

// The distinct texts of one column, each held once: a column of bill numbers or
// goods codes keeps one string per value, and its rows keep 32-bit ids.
class TextPool {
public:
    quint32 intern(QByteArrayView utf8);   // as read from the database
    quint32 intern(const QString& text);
    const QString& text(quint32 id) const { return m_texts[id]; }
    qsizetype size() const { return qsizetype(m_texts.size()); }

private:
    // A place of the open-addressing table: the text's id + 1 (0 when free) beside
    // the low half of the hash of its UTF-8 form, so that probing past other texts
    // reads the table alone and a new text costs no look at the texts at all.
    struct Slot {
        quint32 entry = 0;
        quint32 hash = 0;
    };

    // The place of the text with this hash that `same` accepts, or the free place where it goes.
    template <typename Same>
    size_t place(quint32 hash, Same same);
    quint32 insert(QString text, quint32 hash, size_t position);
    void grow();

    std::vector<QString> m_texts;
    std::vector<Slot> m_table;
};

} // namespace db
