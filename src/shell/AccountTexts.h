#pragma once
// Texts of the account views that depend on the records alone.

#include <QString>

class TAccount;

namespace AccountTexts {

// An account number shorter than 9 characters as it is; a longer one as
// all but its last 9 characters, "*****" and its last 4 characters.
QString MaskAccountNo(const QString &accountNo);

// Currency code of a sub-account (empty without a currency).
QString CurrencyCode(const TAccount &sub);
// The currency name (the table's "未知货币" for an unknown code, empty
// without a currency).
QString CurrencyName(const TAccount &sub);
// Currency name, a space and SaveType: how a sub-account is named.
QString SubAccountName(const TAccount &sub);
// "钞" for ChaoHui "0", "汇" for "1", empty otherwise.
QString CashMark(const QString &chaoHui);

} // namespace AccountTexts
