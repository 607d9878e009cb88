#include "TCurrencyList.h"

bool TCurrencyList::ParseLine(const QString &line, TCurrency *out)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    const QString code = line.left(eq).trimmed();
    const QString value = line.mid(eq + 1).trimmed();
    if (!value.contains(QLatin1Char('|')))
        return false;
    // Split at the first four "|"; the rest (untrimmed) is the tradable mark.
    QStringList parts;
    qsizetype from = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype bar = value.indexOf(QLatin1Char('|'), from);
        if (bar < 0) {
            parts << value.mid(from);
            from = value.size() + 1;
            break;
        }
        parts << value.mid(from, bar - from);
        from = bar + 1;
    }
    const QString mark = from <= value.size() ? value.mid(from) : QString();
    while (parts.size() < 4)
        parts << QString();
    TCurrency c;
    c.Code = code;
    c.Name = parts[0].trimmed();
    c.Symbol = parts[1].trimmed();
    c.EnglishName = parts[2].trimmed().toUpper();
    c.Extra = parts[3].trimmed();
    c.Tradable = mark == QLatin1String("1");
    if (c.Code.isEmpty() || c.Name.isEmpty())
        return false;
    if (out)
        *out = c;
    return true;
}

int TCurrencyList::Build(const QStringList &lines)
{
    Clear();
    int added = 0;
    for (const QString &line : lines) {
        TCurrency c;
        if (ParseLine(line, &c)) {
            Add(std::make_unique<TCurrency>(c));
            ++added;
        }
    }
    return added;
}

TCurrency *TCurrencyList::FindByCode(const QString &code)
{
    for (const auto &c : *this)
        if (c->Code == code)
            return c.get();
    TCurrency *c = Emplace();
    c->Code = code;
    c->Name = UnknownName();
    c->EnglishName = QStringLiteral("Unknown");
    c->Tradable = false;
    return c;
}

TCurrency *TCurrencyList::FindByNumber(int number)
{
    QString code = QString::number(number);
    if (number >= 0 && number < 10)
        code.prepend(QLatin1Char('0'));
    return FindByCode(code);
}

QString TCurrencyList::NameOf(const QString &code)
{
    return FindByCode(code)->Name;
}

TCurrency *TCurrencyList::FindByName(const QString &name) const
{
    for (const auto &c : *this)
        if (c->Name == name)
            return c.get();
    return nullptr;
}

int TCurrencyList::PositionOf(const QString &code) const
{
    int i = 0;
    for (const auto &c : *this) {
        if (c->Code == code)
            return i;
        ++i;
    }
    return -1;
}

std::vector<TCurrencyList::PickerEntry>
TCurrencyList::PickerList(const std::function<bool(const QString &)> &supported) const
{
    std::vector<PickerEntry> out;
    for (const auto &c : *this) {
        if (!c->Tradable || (supported && !supported(c->Code)))
            continue;
        out.push_back({c->Name + QLatin1Char(' ') + c->EnglishName + QChar(4) + c->Code, c->Code.toInt()});
    }
    return out;
}

QStringList TCurrencyList::Codes() const
{
    QStringList out;
    for (const auto &c : *this)
        out << c->Code;
    return out;
}

QStringList TCurrencyList::Symbols() const
{
    QStringList out;
    for (const auto &c : *this)
        out << c->Symbol;
    return out;
}
