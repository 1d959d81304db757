#include "db/KeyIndex.h"

#include <QHashFunctions>
#include <QVarLengthArray>
#include <bit>
#include <utility>

namespace db {

namespace {

// The hash of the case-folded text, without folding (and so allocating) a copy
// of every key: ASCII, nearly every key, folds in place.
quint32 foldedHash(const QString& text)
{
    const qsizetype size = text.size();
    QVarLengthArray<char16_t, 64> folded(size);
    const QChar* chars = text.constData();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i].unicode();
        if (c < 0x80)
            folded[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        else
            folded[i] = chars[i].toCaseFolded().unicode();
    }
    return quint32(qHash(QStringView(folded.constData(), size)));
}

} // namespace

void KeyIndex::reserve(qsizetype keys)
{
    const size_t capacity = std::bit_ceil(size_t(qMax<qsizetype>(keys, 8)) * 2);
    if (capacity > m_slots.size())
        rebuild(capacity);
}

void KeyIndex::rebuild(size_t capacity)
{
    std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(capacity));
    const size_t mask = capacity - 1;
    for (Slot& slot : old) {
        if (slot.row < 0)
            continue;
        size_t position = slot.hash & mask;
        while (m_slots[position].row >= 0)
            position = (position + 1) & mask;
        m_slots[position] = std::move(slot);
    }
}

size_t KeyIndex::place(const QString& key, quint32 hash) const
{
    const size_t mask = m_slots.size() - 1;
    size_t position = hash & mask;
    for (;; position = (position + 1) & mask) {
        const Slot& slot = m_slots[position];
        if (slot.row < 0
            || (slot.hash == hash && slot.key.size() == key.size()
                && (slot.key == key || slot.key.compare(key, Qt::CaseInsensitive) == 0)))
            return position;
    }
}

void KeyIndex::insert(const QString& key, int row)
{
    if (size_t(m_count + 1) * 2 > m_slots.size())
        reserve(m_count + 1);
    const quint32 hash = foldedHash(key);
    Slot& slot = m_slots[place(key, hash)];
    if (slot.row >= 0)
        return;
    slot = {key, hash, row};
    ++m_count;
}

int KeyIndex::find(const QString& key) const
{
    if (m_slots.empty())
        return -1;
    return m_slots[place(key, foldedHash(key))].row;
}

} // namespace db
