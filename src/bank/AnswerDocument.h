#pragma once
// A bank answer loaded as an element tree. A text that is not well-formed
// XML (or nests deeper than kMaxDepth, or holds more than kMaxElements
// elements) yields a document without elements,
// as the bank layer expects of its loader; nothing is reported.
//
// Element texts are the text content of the element (all text below it),
// with the surrounding XML white space removed; white-space-only text
// between elements is dropped.

#include <QString>
#include <QAnyStringView>
#include <QStringView>

#include <memory>
#include <vector>

class AnswerElement
{
public:
    const QString &Name() const { return m_name; }
    // The text content.
    QString Text() const;
    // The first child element with that name; null when there is none.
    const AnswerElement *Child(QAnyStringView name) const;
    // The element at a "/"-separated path of child names below this one.
    const AnswerElement *Path(QStringView path) const;
    const std::vector<std::unique_ptr<AnswerElement>> &Children() const { return m_children; }
    int ChildCount() const { return int(m_children.size()); }

private:
    friend class AnswerDocument;
    void appendText(QString &out) const;

    QString m_name;
    QString m_text; // the element's own character data, concatenated
    std::vector<std::unique_ptr<AnswerElement>> m_children;
};

class AnswerDocument
{
public:
    static constexpr int kMaxDepth = 64;
    static constexpr int kMaxElements = 250000;

    AnswerDocument() = default;
    // Loads the text; see above for what a bad text gives.
    static AnswerDocument Load(const QString &text);

    // The document element; null for a document without elements.
    const AnswerElement *DocumentElement() const { return m_root.get(); }
    // The document element when it is named ROOT, else null.
    const AnswerElement *Root() const;
    // The page text the document was loaded from.
    const QString &PageText() const { return m_pageText; }

private:
    std::unique_ptr<AnswerElement> m_root;
    QString m_pageText;
};
