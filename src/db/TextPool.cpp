#include "db/TextPool.h"

#include <QHashFunctions>

namespace db {

namespace {

// Compares without converting: the codes and numbers that repeat are ASCII.
bool sameText(const QString& text, QByteArrayView utf8)
{
    if (text.size() == utf8.size()) {
        const QChar* chars = text.constData();
        qsizetype i = 0;
        for (; i < utf8.size(); ++i) {
            const auto byte = static_cast<unsigned char>(utf8[i]);
            if (byte >= 0x80)
                break;
            if (chars[i].unicode() != byte)
                return false;
        }
        if (i == utf8.size())
            return true;
    } else if (text.size() > utf8.size()) {
        return false;   // UTF-8 never takes fewer bytes than UTF-16 code units
    }
    return text == QString::fromUtf8(utf8);
}

} // namespace

void TextPool::grow()
{
    const size_t capacity = m_table.empty() ? 64 : m_table.size() * 2;
    m_table.assign(capacity, 0);
    const size_t mask = capacity - 1;
    for (size_t id = 0; id < m_hashes.size(); ++id) {
        size_t position = m_hashes[id] & mask;
        while (m_table[position])
            position = (position + 1) & mask;
        m_table[position] = quint32(id + 1);
    }
}

quint32 TextPool::insert(QString text, size_t hash, size_t position)
{
    const auto id = quint32(m_texts.size());
    m_texts.push_back(std::move(text));
    m_hashes.push_back(hash);
    m_table[position] = id + 1;
    if (m_texts.size() * 2 > m_table.size())
        grow();
    return id;
}

quint32 TextPool::intern(QByteArrayView utf8)
{
    if (m_table.empty())
        grow();
    const size_t hash = qHash(utf8);
    const size_t mask = m_table.size() - 1;
    size_t position = hash & mask;
    while (const quint32 entry = m_table[position]) {
        if (m_hashes[entry - 1] == hash && sameText(m_texts[entry - 1], utf8))
            return entry - 1;
        position = (position + 1) & mask;
    }
    return insert(QString::fromUtf8(utf8), hash, position);
}

quint32 TextPool::intern(const QString& text)
{
    if (m_table.empty())
        grow();
    const QByteArray utf8 = text.toUtf8();
    const size_t hash = qHash(QByteArrayView(utf8));
    const size_t mask = m_table.size() - 1;
    size_t position = hash & mask;
    while (const quint32 entry = m_table[position]) {
        if (m_hashes[entry - 1] == hash && m_texts[entry - 1] == text)
            return entry - 1;
        position = (position + 1) & mask;
    }
    return insert(text, hash, position);
}

} // namespace db
