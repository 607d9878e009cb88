#pragma once
// The value conversions of the answer readers.

#include "platform/Fixed4.h"

#include <QString>
#include <optional>

class AnswerElement;

class AnswerValues
{
public:
    // The text of the child element `name` of `entry`; raises EAnswerError
    // when there is no such element.
    static QString Text(const AnswerElement &entry, const char *name);
    // The same, or empty when the element is missing.
    static QString OptionalText(const AnswerElement &entry, const char *name);
    // The child element itself; raises EAnswerError when missing.
    static const AnswerElement &Element(const AnswerElement &entry, const char *name);

    // Exact number: a fixed-point decimal with four fractional digits
    // (further digits rounded to the nearest, halves to even, so 1234.56789
    // is 1234.5679); nullopt when the text does not parse, so the
    // caller keeps the field's value.
    static std::optional<Fixed4> ExactNumber(const QString &text);
    // Number or 0: a floating number, 0 when the text is not one.
    static double NumberOrZero(const QString &text);
    // Strict number: the same decimal; raises EAnswerError otherwise.
    static Fixed4 StrictNumber(const QString &text, const char *what);
    // A whole number; nullopt when the text is not one.
    static std::optional<int> WholeNumber(const QString &text);
    // Strict whole number; raises EAnswerError otherwise.
    static int StrictWholeNumber(const QString &text, const char *what);
    // Answer date-time: trimmed; empty gives 1899-01-01; "/" becomes "-"
    // and the text is read as "yyyy-MM-dd" with an optional "HH:mm:ss" (or a
    // time alone); raises EAnswerError when it does not parse. The form
    // "yyyymmdd" (a date whose "-" the transport removed) is read too.
    static double AnswerDateTime(const QString &text);
    // Answer date: the same, a date without time.
    static double AnswerDate(const QString &text);
    // Leading number: the text up to its first character above code 127,
    // trimmed, as a floating number; 0 when it is not one.
    static double LeadingNumber(const QString &text);
};
