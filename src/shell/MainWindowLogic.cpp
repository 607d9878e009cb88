#include "MainWindowLogic.h"

#include "TIndexInfo.h"
#include "TMarketList.h"
#include "platform/Formats.h"

#include <QCryptographicHash>

namespace MainWindowLogic {

TransLayout TransLayoutFor(int type, bool fixedTerm, bool addBill)
{
    switch (type) {
    case 1: return fixedTerm ? TransLayout{4, 435} : TransLayout{1, addBill ? 520 : 435};
    case 2: return fixedTerm ? TransLayout{5, 325} : TransLayout{2, 325};
    default: return fixedTerm ? TransLayout{3, 370} : TransLayout{0, 350};
    }
}

int DefaultPageIndex(const QString &defaultForm, const QStringList &classNames)
{
    for (int i = 0; i < classNames.size(); ++i)
        if (classNames[i].compare(defaultForm.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::vector<StripItem> StripItems(const TMarketList &indices)
{
    std::vector<StripItem> out;
    for (const auto &m : indices) {
        if (!m->Visible || !m->IndexInfo)
            continue;
        const int decimals = m->IndexInfo->Decimals < 0 ? 0 : m->IndexInfo->Decimals;
        StripItem item;
        item.text = m->IndexInfo->Name + QLatin1Char(' ') + QString::number(m->NewPrice(), 'f', decimals);
        item.color = m->UpValue > 0 ? QColor(Qt::red) : m->UpValue < 0 ? QColor(Qt::green) : QColor(Qt::white);
        out.push_back(item);
    }
    return out;
}

QString ClockCaption(const QString &title, double serverTime)
{
    return title + QStringLiteral(" [北京时间：") + Formats::formatDateTime(serverTime) + QStringLiteral("]");
}

QString PluginParameter(const QDateTime &t)
{
    const QByteArray text = t.toString(QStringLiteral("yyyyMMddHHmm")).toLatin1();
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex().toUpper());
}

} // namespace MainWindowLogic
