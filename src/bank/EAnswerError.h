#pragma once
// An answer that passed the error check but cannot be read: an element is
// missing or a value that must parse does not. It is an EResponseError
// with one generic text for the customer, so every caller that reports a
// failed transaction reports this one too; Detail names what was wrong
// (for the diagnostic log, never secrets).

#include "ForexErrors.h"

class EAnswerError : public EResponseError
{
public:
    explicit EAnswerError(QString detail) : EResponseError(GenericMessage()), m_detail(std::move(detail)) {}
    static QString GenericMessage() { return QStringLiteral("银行返回的信息无法识别，请稍后再试！"); }
    const QString &Detail() const noexcept { return m_detail; }

private:
    QString m_detail;
};
