#pragma once
// The client's own date, time and number texts. The operating system's
// locale is never changed: every text the client formats or parses uses
// "yyyy-MM-dd" and "HH:mm:ss".
//
// Date-times are day counts since 1899-12-30 with the time of day as the
// fraction (negative counts keep the time as a positive fraction, so
// -363.25 is 1899-01-01 06:00).

#include <QDate>
#include <QDateTime>
#include <QString>

namespace Formats {

inline constexpr const char *kDateFormat = "yyyy-MM-dd";
inline constexpr const char *kTimeFormat = "HH:mm:ss";
inline constexpr const char *kDateTimeFormat = "yyyy-MM-dd HH:mm:ss";

// The day count of 1899-01-01, which stands for a missing date.
inline constexpr double kMissingDate = -363.0;

double toDays(const QDateTime &dt);
double toDays(const QDate &d);
QDateTime fromDays(double days);
QDate dateOf(double days);
double now();
double today();

QString formatDate(double days);
QString formatTime(double days);
QString formatDateTime(double days);
// Parses "yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss" (hours may have one digit) or
// "HH:mm:ss"; false when the text is none of these.
bool parseDateTime(const QString &text, double *days);

// The bank's date form "yyyymmdd".
QString bankDate(double days);

// Amounts ",0.00" (yen, currency code "27", whole: ",0"); rates ",0.0000".
QString formatAmount(double amount, const QString &currencyCode = QString());
QString formatRate(double rate);
// FormatFloat-style grouping: thousands separated by ",", `decimals` digits
// after ".", rounded half away from zero.
QString formatGrouped(double value, int decimals);

inline constexpr const char *kYenCode = "27";
bool isYen(const QString &currencyCode);

} // namespace Formats
