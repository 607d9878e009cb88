#include "AccountTexts.h"

#include "TAccount.h"
#include "TCurrency.h"

namespace AccountTexts {

QString MaskAccountNo(const QString &no)
{
    if (no.size() < 9)
        return no;
    return no.left(no.size() - 9) + QStringLiteral("*****") + no.right(4);
}

QString CurrencyCode(const TAccount &sub)
{
    return sub.Currency ? sub.Currency->Code : QString();
}

QString CurrencyName(const TAccount &sub)
{
    return sub.Currency ? sub.Currency->Name : QString();
}

QString SubAccountName(const TAccount &sub)
{
    return CurrencyName(sub) + QLatin1Char(' ') + sub.SaveType;
}

QString CashMark(const QString &chaoHui)
{
    if (chaoHui == QLatin1String("0"))
        return QStringLiteral("钞");
    if (chaoHui == QLatin1String("1"))
        return QStringLiteral("汇");
    return QString();
}

} // namespace AccountTexts
