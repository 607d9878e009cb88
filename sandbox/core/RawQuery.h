#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The parameters of a request as they stand in its raw query text: split at
// "&" and at the first "=" of each piece, "%XX" escapes decoded to bytes,
// nothing else touched ("+" stays "+"). Values are GBK byte strings, which is
// what the bank's client sends, or UTF-8 when its HTTP layer encoded them so;
// text() decodes either.
class RawQuery
{
public:
    static RawQuery parse(QByteArrayView query);

    // False when the query cannot be read at all (a broken escape, a value
    // that is neither GBK nor UTF-8, a name that is not a plain identifier); problem()
    // then says why.
    bool isReadable() const { return m_problem.isEmpty(); }
    QString problem() const { return m_problem; }
    // Names that occur more than once, in order of their second occurrence.
    QStringList repeatedNames() const { return m_repeated; }

    bool has(const QString &name) const;
    // The decoded value of the first occurrence; empty when absent.
    QString text(const QString &name) const;
    QByteArray bytes(const QString &name) const;
    const QList<QPair<QString, QByteArray>> &pairs() const { return m_pairs; }

private:
    QList<QPair<QString, QByteArray>> m_pairs;
    QStringList m_repeated;
    QString m_problem;
};
