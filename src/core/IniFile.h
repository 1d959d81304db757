#pragma once

#include <QString>
#include <QStringList>

// A private settings file in INI form ("[section]" lines, then "key=value"),
// read and written a key at a time like the platform's private profile calls.
// Writing keeps every other line of the file as it was.
class IniFile {
public:
    explicit IniFile(const QString& path);

    QString read(const QString& section, const QString& key, const QString& fallback = {}) const;
    bool contains(const QString& section, const QString& key) const;
    // Writes the file at once (atomically); returns false when it could not be written.
    bool write(const QString& section, const QString& key, const QString& value);

private:
    void load();
    int findSection(const QString& section) const;
    int findKey(int sectionLine, const QString& key) const;

    QString m_path;
    QStringList m_lines;
};
