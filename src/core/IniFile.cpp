#include "core/IniFile.h"

#include <QFile>
#include <QSaveFile>

IniFile::IniFile(const QString& path)
    : m_path(path)
{
    load();
}

void IniFile::load()
{
    m_lines.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    m_lines = text.split(QLatin1Char('\n'));
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
    for (QString& line : m_lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
}

int IniFile::findSection(const QString& section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString line = m_lines.at(i).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))
            && line.mid(1, line.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniFile::findKey(int sectionLine, const QString& key) const
{
    for (int i = sectionLine + 1; i < m_lines.size(); ++i) {
        const QString line = m_lines.at(i).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            break;
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    const int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QString IniFile::read(const QString& section, const QString& key, const QString& fallback) const
{
    const int s = findSection(section);
    const int k = s >= 0 ? findKey(s, key) : -1;
    if (k < 0)
        return fallback;
    const QString line = m_lines.at(k);
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool IniFile::write(const QString& section, const QString& key, const QString& value)
{
    load();
    const QString entry = key + QLatin1Char('=') + value;
    int s = findSection(section);
    if (s < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines << QString();
        m_lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    } else {
        const int k = findKey(s, key);
        if (k >= 0) {
            m_lines[k] = entry;
        } else {
            int end = s + 1;
            while (end < m_lines.size() && !m_lines.at(end).trimmed().startsWith(QLatin1Char('[')))
                ++end;
            while (end > s + 1 && m_lines.at(end - 1).trimmed().isEmpty())
                --end;
            m_lines.insert(end, entry);
        }
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write((m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return file.commit();
}
