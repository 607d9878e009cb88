#include "AnswerDocument.h"

#include <QXmlStreamReader>

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

AnswerDocument AnswerDocument::Load(const QString &text)
{
    AnswerDocument doc;
    doc.m_pageText = text;
    QXmlStreamReader reader(text);
    std::unique_ptr<AnswerElement> root;
    std::vector<AnswerElement *> stack;
    int elements = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (int(stack.size()) >= kMaxDepth || ++elements > kMaxElements)
                return doc;
            auto e = std::make_unique<AnswerElement>();
            e->m_name = reader.name().toString();
            AnswerElement *raw = e.get();
            if (stack.empty()) {
                if (root)
                    return doc; // a second document element
                root = std::move(e);
            } else {
                stack.back()->m_children.push_back(std::move(e));
            }
            stack.push_back(raw);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!stack.empty())
                stack.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!stack.empty() && !reader.isWhitespace())
                stack.back()->m_text += reader.text();
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || !root)
        return doc;
    doc.m_root = std::move(root);
    return doc;
}
