#pragma once
// The address of one bank transaction: the bank base address,
// "?PT_STYLE=9&TXCODE=" and the code, then "&NAME=value" per parameter in
// the order they are added, then (for the four demand trade transactions)
// the extra pairs of the trade page.
//
// Every value is percent-encoded: all characters except ASCII letters,
// digits and "-", ".", "_", "~" become %XX, texts outside ASCII as their GBK
// bytes. Values therefore can never add, cut or end parameters (a "&", "=",
// "+", "#", "%" or blank in a password stays in that password), while the
// bank's codes, digits and letters go out exactly as they are.

#include <QByteArray>
#include <QString>

class BankQuery
{
public:
    BankQuery(const QString &baseUrl, const char *txCode);

    BankQuery &Add(const char *name, const QString &value);
    BankQuery &Add(const char *name, int value) { return Add(name, QString::number(value)); }
    // Appends extra "&NAME=value" pairs (ExtraTransParams); see
    // EncodeExtraParams.
    BankQuery &AddExtra(const QString &extraParams);

    // The address, ASCII only.
    QString Url() const { return QString::fromLatin1(m_url); }
    QByteArray Encoded() const { return m_url; }

    static QByteArray EncodeValue(const QString &value);
    // Appends "&" + name + "=" + the encoded value to a pair list such as
    // ExtraTransParams; the trade pages build their defined fields with it.
    static void AppendPair(QString &pairs, const QString &name, const QString &value);
    // Makes a pair list safe to append: "&" and "=" stay the separators and
    // valid %XX escapes stay, every other character outside the kept set is
    // encoded; a list that does not start with "&" gets one. A value that
    // itself holds "&" or "=" must have been added with AppendPair.
    static QByteArray EncodeExtraParams(const QString &extraParams);

    // Value formats.
    // CHANGED_AMOUNT: four decimals, halves to even, shortest form (1000,
    // 1234.5, 0.0125). Throws EResponseError for an amount that is not a
    // finite number in range, so no trade goes out with an unknown amount.
    static QString Amount(double amount);
    // QUOTEPRICE / SHUTRATE: general format, up to 15 significant digits;
    // empty when the rate is not above 0.
    static QString Rate(double rate);
    // Bank date "yyyymmdd".
    static QString Date(double days);
    // BRANCHID: the province-level identifier, the first three characters
    // of the branch identifier followed by "000000".
    static QString ProvinceBranch(const QString &branchId);

private:
    QByteArray m_url;
};
