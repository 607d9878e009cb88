#include "AnswerDocument.h"

#include <cstring>
#include <deque>

namespace {

bool isXmlSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

QString trimXmlSpace(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isXmlSpace(s[b]))
        ++b;
    while (e > b && isXmlSpace(s[e - 1]))
        --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

} // namespace

void AnswerElement::appendText(QString &out) const
{
    out += m_text;
    for (const auto &c : m_children)
        c->appendText(out);
}

QString AnswerElement::Text() const
{
    if (m_children.empty())
        return trimXmlSpace(m_text);
    QString out;
    appendText(out);
    return trimXmlSpace(out);
}

const AnswerElement *AnswerElement::Child(QAnyStringView name) const
{
    for (const auto &c : m_children)
        if (QAnyStringView(c->m_name) == name)
            return c.get();
    return nullptr;
}

const AnswerElement *AnswerElement::Path(QStringView path) const
{
    const AnswerElement *e = this;
    for (const auto part : path.tokenize(u'/')) {
        if (part.isEmpty())
            continue;
        e = e->Child(part);
        if (!e)
            return nullptr;
    }
    return e;
}

const AnswerElement *AnswerDocument::Root() const
{
    return m_root && m_root->Name() == QLatin1String("ROOT") ? m_root.get() : nullptr;
}

namespace {

// A reader of the answer text: well-formed XML with elements, attributes
// (read and dropped), character data with the predefined and numeric
// entities, CDATA sections, comments, processing instructions and a
// document type declaration (skipped). Anything else, an entity it does not
// know, mismatched tags, text outside the document element or a control
// character makes the text unusable.
class Parser
{
public:
    explicit Parser(QStringView text) : m_p(text.data()), m_end(text.data() + text.size()) {}

    // Reads the whole text; false when it is not well-formed. `events`
    // receives start (name), text and end calls in document order and may
    // stop the reading by returning false.
    template <typename Events>
    bool run(Events &events);

private:
    bool atEnd() const { return m_p >= m_end; }
    bool startsWith(const char *s) const
    {
        const QChar *p = m_p;
        for (; *s; ++s, ++p)
            if (p >= m_end || p->unicode() != uchar(*s))
                return false;
        return true;
    }
    static bool isSpace(QChar c)
    {
        const char16_t u = c.unicode();
        return u == ' ' || u == '\t' || u == '\r' || u == '\n';
    }
    static bool isNameStart(QChar c)
    {
        const char16_t u = c.unicode();
        return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u == ':' || u > 127;
    }
    static bool isNameChar(QChar c)
    {
        const char16_t u = c.unicode();
        return isNameStart(c) || (u >= '0' && u <= '9') || u == '-' || u == '.';
    }
    static bool isBadControl(QChar c)
    {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != '\t' && u != '\r' && u != '\n') || u == 0xFFFE || u == 0xFFFF;
    }
    void skipSpace()
    {
        while (!atEnd() && isSpace(*m_p))
            ++m_p;
    }
    // Skips to just after `terminator`; false when it never comes.
    bool skipPast(const char *terminator)
    {
        while (!atEnd()) {
            if (startsWith(terminator)) {
                m_p += qsizetype(strlen(terminator));
                return true;
            }
            ++m_p;
        }
        return false;
    }
    bool readName(QStringView *name)
    {
        const QChar *begin = m_p;
        if (atEnd() || !isNameStart(*m_p))
            return false;
        ++m_p;
        while (!atEnd() && isNameChar(*m_p))
            ++m_p;
        *name = QStringView(begin, m_p - begin);
        return true;
    }
    bool skipDoctype();
    bool readReference(QString &out);
    bool readText(QString &out);
    bool skipAttributes(bool *selfClosing);
    const QString &intern(QStringView name)
    {
        for (const QString &known : m_names)
            if (known == name)
                return known;
        m_names.push_back(name.toString());
        return m_names.back();
    }
    // Skips comments, processing instructions and white space between
    // markup outside the document element.
    bool skipMisc(bool allowDoctype);

    const QChar *m_p;
    const QChar *m_end;
    std::deque<QString> m_names;
};

bool Parser::skipDoctype()
{
    // "<!DOCTYPE" name ... [ internal subset ] >
    m_p += 9;
    int bracket = 0;
    QChar quote;
    while (!atEnd()) {
        const QChar c = *m_p++;
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('[')) {
            ++bracket;
        } else if (c == QLatin1Char(']')) {
            --bracket;
        } else if (c == QLatin1Char('>') && bracket <= 0) {
            return true;
        }
    }
    return false;
}

bool Parser::skipMisc(bool allowDoctype)
{
    for (;;) {
        skipSpace();
        if (startsWith("<?")) {
            if (!skipPast("?>"))
                return false;
        } else if (startsWith("<!--")) {
            if (!skipPast("-->"))
                return false;
        } else if (allowDoctype && startsWith("<!DOCTYPE")) {
            if (!skipDoctype())
                return false;
            allowDoctype = false;
        } else {
            return true;
        }
    }
}

bool Parser::readReference(QString &out)
{
    // At '&'.
    ++m_p;
    const QChar *begin = m_p;
    while (!atEnd() && *m_p != QLatin1Char(';') && m_p - begin < 12)
        ++m_p;
    if (atEnd() || *m_p != QLatin1Char(';'))
        return false;
    const QStringView ref(begin, m_p - begin);
    ++m_p;
    if (ref == u"lt")
        out += QLatin1Char('<');
    else if (ref == u"gt")
        out += QLatin1Char('>');
    else if (ref == u"amp")
        out += QLatin1Char('&');
    else if (ref == u"quot")
        out += QLatin1Char('"');
    else if (ref == u"apos")
        out += QLatin1Char('\'');
    else if (ref.size() >= 2 && ref[0] == QLatin1Char('#')) {
        bool ok = false;
        const uint code = ref[1] == QLatin1Char('x') ? ref.mid(2).toUInt(&ok, 16) : ref.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE
            || code == 0xFFFF || (code < 0x20 && code != 9 && code != 10 && code != 13))
            return false;
        const char32_t c32 = char32_t(code);
        out += QString::fromUcs4(&c32, 1);
    } else {
        return false; // an entity it does not know
    }
    return true;
}

bool Parser::readText(QString &out)
{
    // Character data up to the next '<'.
    const QChar *run = m_p;
    while (!atEnd() && *m_p != QLatin1Char('<')) {
        const QChar c = *m_p;
        if (c == QLatin1Char('&')) {
            out.append(run, m_p - run);
            if (!readReference(out))
                return false;
            run = m_p;
            continue;
        }
        if (isBadControl(c))
            return false;
        ++m_p;
    }
    out.append(run, m_p - run);
    return true;
}

bool Parser::skipAttributes(bool *selfClosing)
{
    for (;;) {
        const bool spaced = !atEnd() && isSpace(*m_p);
        skipSpace();
        if (atEnd())
            return false;
        if (*m_p == QLatin1Char('>')) {
            ++m_p;
            *selfClosing = false;
            return true;
        }
        if (startsWith("/>")) {
            m_p += 2;
            *selfClosing = true;
            return true;
        }
        QStringView name;
        if (!spaced || !readName(&name))
            return false;
        skipSpace();
        if (atEnd() || *m_p != QLatin1Char('='))
            return false;
        ++m_p;
        skipSpace();
        if (atEnd() || (*m_p != QLatin1Char('"') && *m_p != QLatin1Char('\'')))
            return false;
        const QChar quote = *m_p++;
        QString ignored;
        while (!atEnd() && *m_p != quote) {
            if (*m_p == QLatin1Char('<') || isBadControl(*m_p))
                return false;
            if (*m_p == QLatin1Char('&')) {
                if (!readReference(ignored))
                    return false;
                continue;
            }
            ++m_p;
        }
        if (atEnd())
            return false;
        ++m_p;
    }
}

template <typename Events>
bool Parser::run(Events &events)
{
    if (!atEnd() && m_p->unicode() == 0xFEFF)
        ++m_p;
    if (!skipMisc(true))
        return false;
    if (atEnd() || *m_p != QLatin1Char('<'))
        return false;
    int depth = 0;
    QString text;
    for (;;) {
        if (atEnd())
            return false;
        if (*m_p != QLatin1Char('<')) {
            if (depth == 0)
                return false;
            text.clear();
            if (!readText(text))
                return false;
            if (!events.text(text))
                return false;
            continue;
        }
        if (startsWith("</")) {
            m_p += 2;
            QStringView name;
            if (!readName(&name))
                return false;
            skipSpace();
            if (atEnd() || *m_p != QLatin1Char('>'))
                return false;
            ++m_p;
            if (depth == 0 || !events.end(name))
                return false;
            if (--depth == 0)
                break;
        } else if (startsWith("<![CDATA[")) {
            if (depth == 0)
                return false;
            m_p += 9;
            const QChar *begin = m_p;
            if (!skipPast("]]>"))
                return false;
            text = QString(begin, m_p - 3 - begin);
            if (!events.text(text))
                return false;
        } else if (startsWith("<!--")) {
            if (!skipPast("-->"))
                return false;
        } else if (startsWith("<?")) {
            if (!skipPast("?>"))
                return false;
        } else {
            ++m_p;
            QStringView name;
            if (!readName(&name))
                return false;
            bool selfClosing = false;
            if (!skipAttributes(&selfClosing))
                return false;
            if (!events.start(intern(name)))
                return false;
            if (selfClosing) {
                if (!events.end(name))
                    return false;
                if (depth == 0)
                    break;
            } else {
                ++depth;
            }
        }
    }
    // Only comments, processing instructions and white space may follow.
    return skipMisc(false) && atEnd();
}

} // namespace

AnswerDocument AnswerDocument::Load(const QString &text)
{
    AnswerDocument doc;
    doc.m_pageText = text;

    struct Builder {
        std::unique_ptr<AnswerElement> root;
        std::vector<AnswerElement *> stack;
        int elements = 0;

        bool start(const QString &name)
        {
            if (int(stack.size()) >= kMaxDepth || ++elements > kMaxElements)
                return false;
            auto e = std::make_unique<AnswerElement>();
            e->m_name = name;
            AnswerElement *raw = e.get();
            if (stack.empty()) {
                if (root)
                    return false; // a second document element
                root = std::move(e);
            } else {
                stack.back()->m_children.push_back(std::move(e));
            }
            stack.push_back(raw);
            return true;
        }
        bool end(QStringView name)
        {
            if (stack.empty() || stack.back()->m_name != name)
                return false;
            stack.pop_back();
            return true;
        }
        bool text(QString &chunk)
        {
            bool blank = true;
            for (const QChar c : chunk)
                if (!isXmlSpace(c)) {
                    blank = false;
                    break;
                }
            if (blank)
                return true;
            // Line ends read as LF, as XML has them.
            if (chunk.contains(QLatin1Char('\r'))) {
                chunk.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                chunk.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            }
            QString &t = stack.back()->m_text;
            if (t.isEmpty())
                t = chunk;
            else
                t += chunk;
            return true;
        }
    } builder;

    Parser parser(text);
    if (parser.run(builder) && builder.root)
        doc.m_root = std::move(builder.root);
    return doc;
}
