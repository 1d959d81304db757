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
    quint32 insert(QString text, size_t hash, size_t position);
    void grow();

    std::vector<QString> m_texts;
    std::vector<size_t> m_hashes;    // hash of each text's UTF-8 form
    std::vector<quint32> m_table;    // open addressing: id + 1, 0 when free
};

} // namespace db
