#include "Formats.h"

#include <QRegularExpression>
#include <QTime>
#include <cmath>

namespace Formats {
namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;

} // namespace

double toDays(const QDate &d)
{
    return double(kEpoch.daysTo(d));
}

double toDays(const QDateTime &dt)
{
    const double day = toDays(dt.date());
    const double frac = double(dt.time().msecsSinceStartOfDay()) / kMsPerDay;
    return day >= 0 ? day + frac : day - frac;
}

QDateTime fromDays(double days)
{
    if (!std::isfinite(days))
        return QDateTime();
    const double whole = std::trunc(days);
    double frac = std::fabs(days - whole);
    qint64 ms = qint64(std::llround(frac * kMsPerDay));
    qint64 dayCount = qint64(whole);
    if (ms >= qint64(kMsPerDay)) {
        ms -= qint64(kMsPerDay);
        dayCount += days >= 0 ? 1 : -1;
    }
    return QDateTime(kEpoch.addDays(dayCount), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QDate dateOf(double days)
{
    return fromDays(days).date();
}

double now()
{
    return toDays(QDateTime::currentDateTime());
}

double today()
{
    return toDays(QDate::currentDate());
}

QString formatDate(double days)
{
    return fromDays(days).toString(QLatin1String(kDateFormat));
}

QString formatTime(double days)
{
    return fromDays(days).toString(QLatin1String(kTimeFormat));
}

QString formatDateTime(double days)
{
    return fromDays(days).toString(QLatin1String(kDateTimeFormat));
}

bool parseDateTime(const QString &input, double *days)
{
    static const QRegularExpression re(
        QStringLiteral("^(?:(\\d{4})-(\\d{1,2})-(\\d{1,2}))?\\s*(?:(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
    const QString text = input.trimmed();
    const auto m = re.match(text);
    if (text.isEmpty() || !m.hasMatch())
        return false;
    QDate date = kEpoch;
    if (!m.captured(1).isEmpty()) {
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!date.isValid())
            return false;
    }
    QTime time(0, 0);
    if (!m.captured(4).isEmpty()) {
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).isEmpty() ? 0 : m.captured(6).toInt());
        if (!time.isValid())
            return false;
    }
    if (days)
        *days = toDays(QDateTime(date, time));
    return true;
}

QString bankDate(double days)
{
    return dateOf(days).toString(QStringLiteral("yyyyMMdd"));
}

bool isYen(const QString &currencyCode)
{
    return currencyCode.trimmed() == QLatin1String(kYenCode);
}

QString formatGrouped(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const double scale = std::pow(10.0, decimals);
    // Half away from zero on the decimal value, as the format routine of the
    // client's users' systems did; the small nudge keeps 2.675 at 2.68.
    double r = std::round(value * scale * (1 + 1e-15)) / scale;
    if (r == 0)
        r = 0; // no "-0.00"
    QString s = QString::number(std::fabs(r), 'f', decimals);
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    qsizetype intEnd = dot < 0 ? s.size() : dot;
    for (qsizetype i = intEnd - 3; i > 0; i -= 3)
        s.insert(i, QLatin1Char(','));
    return r < 0 ? QLatin1Char('-') + s : s;
}

QString formatAmount(double amount, const QString &currencyCode)
{
    return formatGrouped(amount, isYen(currencyCode) ? 0 : 2);
}

QString formatRate(double rate)
{
    return formatGrouped(rate, 4);
}

} // namespace Formats
