#pragma once
// Tells a usable bank answer from an error answer and from a transport
// failure, and builds the message the customer sees.

#include "ForexErrors.h"

#include <QString>

class AnswerDocument;

class AnswerCheck
{
public:
    // Returns for a usable answer. Raises TransportFailure (chosen from the
    // document's page text) when there is no ROOT, and EResponseError with
    // "信息提示", CR and the bank's lines (each after a CR) for an error
    // answer.
    static void CheckAnswer(const AnswerDocument &doc);
    // The error of a fetch that produced no usable document, its message
    // chosen from the text of the page that was shown: the bank's pages for
    // submissions too close together, an idle session and a wrong
    // verification code, the page for an unreachable server, else the
    // generic network failure.
    static EResponseError TransportFailure(const QString &pageText);
};
