#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <optional>

// Each save of a bill, a receipt or a payment carries an identity, stored with
// what it writes and unique in its table (save_id). A save whose answer was
// lost on the way back may have been stored: its identity tells, and a retry of
// it can never be stored a second time.
namespace SaveIdentity {

// A new identity, never given before.
QString make();

// What the user is told of a save that failed on the way back but was stored.
inline const QString alreadySaved = QStringLiteral("已经保存");

// The identity of the save a window is attempting: the same while what it saves
// stays the same (a retry after a lost answer), a new one once the content
// changes or the save has succeeded.
template <typename Content>
class Attempt {
public:
    QString identityFor(const Content& content)
    {
        if (m_identity.isEmpty() || !(content == m_content)) {
            m_identity = make();
            m_content = content;
        }
        return m_identity;
    }
    void succeeded() { m_identity.clear(); }

private:
    QString m_identity;
    Content m_content;
};

bool isDatabaseFailure(const std::exception& failure);

// After a save failed with `failure`: what `lookUp` finds of it by its identity,
// nothing when it was not stored. Looked for before the failure is told, on
// the connection made anew when it was lost. A look-up that fails too (the
// server still out of reach) finds nothing: the first failure stands.
template <typename Found>
std::optional<Found> findAfter(const std::exception& failure, const std::function<std::optional<Found>()>& lookUp)
{
    // A refusal of the program's own (an empty bill, a limit) never reached the database.
    if (!isDatabaseFailure(failure))
        return std::nullopt;
    try {
        return lookUp();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace SaveIdentity
