#pragma once
// The error kinds of the bank layer. Each carries a text ready to show to
// the customer; handlers catch them by kind.

#include <QString>
#include <exception>

class EForexError : public std::exception
{
public:
    explicit EForexError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The bank answered with an error, an unusable document, or the request
// failed. Every failure of a bank transaction is one of these.
class EResponseError : public EForexError
{
public:
    using EForexError::EForexError;
};

// The chosen branch has no controller.
class ENoBranchError : public EForexError
{
public:
    ENoBranchError() : EForexError(QStringLiteral("此分行未开通外汇交易客户端！")) {}
    using EForexError::EForexError;
};

// A failed connection; handlers treat it like EResponseError.
class EConnectError : public EForexError
{
public:
    using EForexError::EForexError;
};
