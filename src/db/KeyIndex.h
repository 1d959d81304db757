#pragma once

#include <QString>
#include <vector>

namespace db {

// A hash index over the texts of one field: the first row holding each text,
// texts compared without case as the database compares them. Open addressing,
// each place holding its key and the key's hash, so that a probe reads one
// place of the table and the text of the key it finds, and nothing else.
class KeyIndex {
public:
    void reserve(qsizetype keys);
    // A key already held keeps the row it has.
    void insert(const QString& key, int row);
    int find(const QString& key) const;   // -1 when absent

private:
    struct Slot {
        QString key;
        quint32 hash = 0;   // low half of the hash of the case-folded key
        int row = -1;       // -1 while free
    };

    size_t place(const QString& key, quint32 hash) const;
    void rebuild(size_t capacity);

    std::vector<Slot> m_slots;
    qsizetype m_count = 0;
};

} // namespace db
