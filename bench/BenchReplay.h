#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The statements a piece of the program's work runs on a file connection, as the
// engine started them, with the values bound to each; and their bare replay
// through the C API. It is the floor for that work: each distinct text prepared
// once, bound, stepped to the end with every column read, nothing else.
namespace bench {

struct BoundValue {
    enum class Kind { Null, Integer, Real, Text, Blob } kind = Kind::Null;
    long long integer = 0;
    double real = 0;
    std::string bytes;
    std::string name;   // the parameter's, ":code"; empty for a bare "?"
};

struct StartedStatement {
    std::string sql;   // as prepared, with its parameters
    std::vector<BoundValue> values;
};

namespace detail {

inline bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The end of the quoted run starting at `from` (the closing quote), doubled quotes inside.
inline size_t quotedEnd(const std::string& s, size_t from)
{
    const char quote = s[from];
    size_t at = from + 1;
    while (at < s.size()) {
        if (s[at] == quote) {
            if (at + 1 < s.size() && s[at + 1] == quote) {
                at += 2;
                continue;
            }
            return at;
        }
        ++at;
    }
    return s.size() - 1;
}

// One literal the engine wrote for a parameter in its expanded text, read at `at`.
inline BoundValue literalAt(const std::string& s, size_t& at)
{
    BoundValue v;
    if (s.compare(at, 4, "NULL") == 0) {
        at += 4;
    } else if (s[at] == '\'') {
        const size_t end = quotedEnd(s, at);
        v.kind = BoundValue::Kind::Text;
        for (size_t i = at + 1; i < end; ++i) {
            v.bytes += s[i];
            if (s[i] == '\'')
                ++i;
        }
        at = end + 1;
    } else if ((s[at] == 'x' || s[at] == 'X') && at + 1 < s.size() && s[at + 1] == '\'') {
        const size_t end = quotedEnd(s, at + 1);
        v.kind = BoundValue::Kind::Blob;
        for (size_t i = at + 2; i + 1 < end; i += 2)
            v.bytes += char(std::strtol(s.substr(i, 2).c_str(), nullptr, 16));
        at = end + 1;
    } else {
        const size_t start = at;
        bool real = false;
        while (at < s.size() && (std::string_view("0123456789+-.eE").find(s[at]) != std::string_view::npos)) {
            real |= s[at] == '.' || s[at] == 'e' || s[at] == 'E';
            ++at;
        }
        const std::string number = s.substr(start, at - start);
        v.kind = real ? BoundValue::Kind::Real : BoundValue::Kind::Integer;
        v.real = std::strtod(number.c_str(), nullptr);
        v.integer = std::strtoll(number.c_str(), nullptr, 10);
    }
    return v;
}

// The values bound to `sql`, read from the engine's text with each parameter written out.
inline std::vector<BoundValue> boundValues(const std::string& sql, const std::string& expanded)
{
    std::vector<BoundValue> values;
    size_t e = 0;
    for (size_t s = 0; s < sql.size() && e < expanded.size();) {
        const char c = sql[s];
        if (c == '\'' || c == '"') {
            const size_t length = quotedEnd(sql, s) - s + 1;
            s += length;
            e += length;
        } else if (c == '?' || ((c == ':' || c == '@' || c == '$') && s + 1 < sql.size() && isNameChar(sql[s + 1]))) {
            const size_t start = s++;
            while (s < sql.size() && isNameChar(sql[s]))
                ++s;
            values.push_back(literalAt(expanded, e));
            if (c != '?')
                values.back().name = sql.substr(start, s - start);
        } else {
            ++s;
            ++e;
        }
    }
    return values;
}

inline int record(unsigned, void* log, void* statement, void* text)
{
    const char* sql = static_cast<const char*>(text);
    if (sql[0] == '-' && sql[1] == '-')   // a trigger's statement: part of the one that fired it
        return 0;
    auto* s = static_cast<sqlite3_stmt*>(statement);
    char* expanded = sqlite3_expanded_sql(s);
    if (!expanded)
        return 0;
    const std::string prepared = sqlite3_sql(s);
    static_cast<std::vector<StartedStatement>*>(log)->push_back({prepared, boundValues(prepared, expanded)});
    sqlite3_free(expanded);
    return 0;
}

} // namespace detail

// Records every statement started on `handle` while it lives.
class StatementLog {
public:
    explicit StatementLog(sqlite3* handle) : m_handle(handle)
    {
        sqlite3_trace_v2(m_handle, SQLITE_TRACE_STMT, detail::record, &m_started);
    }
    ~StatementLog() { sqlite3_trace_v2(m_handle, 0, nullptr, nullptr); }
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;
    const std::vector<StartedStatement>& started() const { return m_started; }

private:
    sqlite3* m_handle;
    std::vector<StartedStatement> m_started;
};

// Runs the recorded statements bare on `handle`; the rows they returned.
inline long long replay(sqlite3* handle, const std::vector<StartedStatement>& statements)
{
    std::unordered_map<std::string, sqlite3_stmt*> prepared;
    long long rows = 0;
    double sink = 0;
    for (const StartedStatement& run : statements) {
        sqlite3_stmt*& s = prepared[run.sql];
        if (!s && sqlite3_prepare_v2(handle, run.sql.c_str(), int(run.sql.size()), &s, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "bare: %s in %s\n", sqlite3_errmsg(handle), run.sql.c_str());
            continue;
        }
        sqlite3_reset(s);
        for (size_t i = 0; i < run.values.size(); ++i) {
            const BoundValue& v = run.values[i];
            // A name used twice in the text is one parameter: bound twice, to the same value.
            const int index = v.name.empty() ? int(i) + 1 : sqlite3_bind_parameter_index(s, v.name.c_str());
            switch (v.kind) {
            case BoundValue::Kind::Null: sqlite3_bind_null(s, index); break;
            case BoundValue::Kind::Integer: sqlite3_bind_int64(s, index, v.integer); break;
            case BoundValue::Kind::Real: sqlite3_bind_double(s, index, v.real); break;
            case BoundValue::Kind::Text:
                sqlite3_bind_text(s, index, v.bytes.data(), int(v.bytes.size()), SQLITE_STATIC);
                break;
            case BoundValue::Kind::Blob:
                sqlite3_bind_blob(s, index, v.bytes.data(), int(v.bytes.size()), SQLITE_STATIC);
                break;
            }
        }
        int step;
        const int columns = sqlite3_column_count(s);
        while ((step = sqlite3_step(s)) == SQLITE_ROW) {
            for (int col = 0; col < columns; ++col)
                sink += sqlite3_column_type(s, col) == SQLITE_TEXT ? double(sqlite3_column_bytes(s, col))
                                                                   : sqlite3_column_double(s, col);
            ++rows;
        }
        if (step != SQLITE_DONE)
            std::fprintf(stderr, "bare: %s in %s\n", sqlite3_errmsg(handle), run.sql.c_str());
    }
    for (auto& [sql, s] : prepared)
        sqlite3_finalize(s);
    return sink == -1 ? 0 : rows;
}

} // namespace bench
