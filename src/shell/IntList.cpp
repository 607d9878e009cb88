#include "IntList.h"

std::optional<IntList> IntList::fromLines(const QStringList &lines)
{
    IntList list;
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = (eq < 0 ? line : line.left(eq)).trimmed();
        // The value is the one stored for the first line of this name.
        const int first = list.indexOf(name);
        if (first >= 0) {
            list.m_entries.push_back(list.m_entries[size_t(first)]);
            continue;
        }
        bool ok = false;
        const int value = (eq < 0 ? QString() : line.mid(eq + 1)).trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
        list.append(name, value);
    }
    return list;
}

QStringList IntList::toLines() const
{
    QStringList out;
    out.reserve(count());
    for (const Entry &e : m_entries)
        out << e.name + QLatin1Char('=') + QString::number(e.value);
    return out;
}

void IntList::move(int from, int to)
{
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to)
        return;
    Entry e = m_entries[size_t(from)];
    m_entries.erase(m_entries.begin() + from);
    m_entries.insert(m_entries.begin() + to, e);
}

int IntList::indexOf(const QString &name) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

std::optional<int> IntList::valueOf(const QString &name) const
{
    const int i = indexOf(name);
    if (i < 0)
        return std::nullopt;
    return m_entries[size_t(i)].value;
}
