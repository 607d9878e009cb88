#pragma once
// A list of names, each carrying an integer, kept in order. In a profile
// file it is a section of "name=integer" lines.

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

class IntList
{
public:
    struct Entry {
        QString name;
        int value = 0;
        bool operator==(const Entry &) const = default;
    };

    // Converts section lines; the first line of a name wins (names compared
    // without regard to case). nullopt when a value is not an integer.
    static std::optional<IntList> fromLines(const QStringList &lines);
    QStringList toLines() const;

    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }
    void append(const QString &name, int value) { m_entries.push_back({name, value}); }
    const Entry &at(int i) const { return m_entries.at(size_t(i)); }
    Entry &operator[](int i) { return m_entries[size_t(i)]; }
    void removeAt(int i) { m_entries.erase(m_entries.begin() + i); }
    void move(int from, int to);
    // Index of the first entry with this name (case ignored), or -1.
    int indexOf(const QString &name) const;
    std::optional<int> valueOf(const QString &name) const;
    const std::vector<Entry> &entries() const { return m_entries; }
    bool operator==(const IntList &) const = default;

private:
    std::vector<Entry> m_entries;
};
