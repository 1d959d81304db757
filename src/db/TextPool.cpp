#include "db/TextPool.h"

#include <QHashFunctions>
#include <utility>

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
    std::vector<Slot> old = std::exchange(m_table, std::vector<Slot>(m_table.empty() ? 64 : m_table.size() * 2));
    const size_t mask = m_table.size() - 1;
    for (const Slot& slot : old) {
        if (!slot.entry)
            continue;
        size_t position = slot.hash & mask;
        while (m_table[position].entry)
            position = (position + 1) & mask;
        m_table[position] = slot;
    }
}

quint32 TextPool::insert(QString text, quint32 hash, size_t position)
{
    const auto id = quint32(m_texts.size());
    m_texts.push_back(std::move(text));
    m_table[position] = {id + 1, hash};
    if (m_texts.size() * 2 > m_table.size())
        grow();
    return id;
}

template <typename Same>
size_t TextPool::place(quint32 hash, Same same)
{
    if (m_table.empty())
        grow();
    const size_t mask = m_table.size() - 1;
    size_t position = hash & mask;
    for (Slot slot = m_table[position]; slot.entry; slot = m_table[position]) {
        if (slot.hash == hash && same(m_texts[slot.entry - 1]))
            break;
        position = (position + 1) & mask;
    }
    return position;
}

quint32 TextPool::intern(QByteArrayView utf8)
{
    const auto hash = quint32(qHash(utf8));
    const size_t position = place(hash, [utf8](const QString& text) { return sameText(text, utf8); });
    const quint32 entry = m_table[position].entry;
    return entry ? entry - 1 : insert(QString::fromUtf8(utf8), hash, position);
}

quint32 TextPool::intern(const QString& text)
{
    const auto hash = quint32(qHash(QByteArrayView(text.toUtf8())));
    const size_t position = place(hash, [&text](const QString& held) { return held == text; });
    const quint32 entry = m_table[position].entry;
    return entry ? entry - 1 : insert(text, hash, position);
}

} // namespace db
