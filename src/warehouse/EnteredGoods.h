#pragma once

#include <QSet>
#include <QString>

// The goods typed or scanned on a sheet since it was started. Codes compare
// without case, as the database compares them: a stock record may spell a
// code otherwise than its goods.
class EnteredGoods {
public:
    void clear() { m_codes.clear(); }
    void add(const QString& code) { m_codes.insert(code.toCaseFolded()); }
    bool contains(const QString& code) const { return m_codes.contains(code.toCaseFolded()); }
    bool isEmpty() const { return m_codes.isEmpty(); }

private:
    QSet<QString> m_codes;
};
