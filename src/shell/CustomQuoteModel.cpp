#include "CustomQuoteModel.h"

#include "TBranchBankController.h"
#include "TCurrency.h"
#include "TMarketList.h"
#include "controls/GridRoles.h"

#include <QColor>

namespace {
int number(const QString &code)
{
    bool ok = false;
    const int v = code.trimmed().toInt(&ok);
    return ok ? v : -1;
}

QString nameOf(const TCurrency *c)
{
    return c ? c->Name : QString();
}
} // namespace

CustomQuoteModel::CustomQuoteModel(QObject *parent) : QAbstractTableModel(parent) {}

int CustomQuoteModel::LevelFor(int userMarketType, const TBranchBankController *c)
{
    if (!c || userMarketType < 1 || userMarketType > 6)
        return 0;
    return c->Levels[size_t(userMarketType)].LevelOffered ? userMarketType : 0;
}

std::vector<CustomQuoteModel::Quote> CustomQuoteModel::Collect(const TMarketList &bank, const TMarketList *intl,
                                                               const TBranchBankController *c, int level)
{
    std::vector<Quote> out;
    for (const auto &m : bank) {
        if (!m->Visible)
            continue;
        Quote q;
        q.code1 = m->Code1();
        q.code2 = m->Code2();
        q.name1 = nameOf(m->Currency1);
        q.name2 = nameOf(m->Currency2);
        q.supported = !c || (c->IsCurrencySupported(q.code1) && c->IsCurrencySupported(q.code2));
        q.buy = m->BuyPrice(level);
        q.sell = m->SellPrice(level);
        if (intl) {
            const int a = number(q.code1), b = number(q.code2);
            for (const auto &i : *intl) {
                const int i1 = number(i->Code1()), i2 = number(i->Code2());
                if ((i1 == a && i2 == b) || (i1 == b && i2 == a)) {
                    q.up = i->UpValue;
                    break;
                }
            }
        }
        out.push_back(q);
    }
    return out;
}

void CustomQuoteModel::refresh(const std::vector<Quote> &quotes)
{
    beginResetModel();
    for (const Quote &q : quotes) {
        int same = -1;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const Quote &r = m_rows[i];
            if (r.code1 == q.code2 && r.code2 == q.code1 && q.code1 != q.code2) {
                m_rows.erase(m_rows.begin() + long(i));
                --i;
                continue;
            }
            if (r.code1 == q.code1 && r.code2 == q.code2)
                same = int(i);
        }
        if (!q.supported) {
            if (same >= 0)
                m_rows.erase(m_rows.begin() + same);
            continue;
        }
        if (same < 0) {
            m_rows.push_back(q);
        } else {
            m_rows[size_t(same)] = q;
        }
    }
    endResetModel();
}

void CustomQuoteModel::setCaptions(const QString &levelName)
{
    m_levelName = levelName;
    emit headerDataChanged(Qt::Horizontal, ColInSum, ColOutSum);
}

void CustomQuoteModel::setShowChanges(bool show)
{
    m_showChanges = show;
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void CustomQuoteModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int CustomQuoteModel::rowOf(int a, int b) const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const int c1 = number(m_rows[i].code1), c2 = number(m_rows[i].code2);
        if ((c1 == a && c2 == b) || (c1 == b && c2 == a))
            return int(i);
    }
    return -1;
}

int CustomQuoteModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CustomQuoteModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CustomQuoteModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Quote &q = m_rows[size_t(index.row())];
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (c) {
        case ColInCurr: return q.name1;
        case ColOutCurr: return q.name2;
        case ColUpDown: return q.up > 0 ? QStringLiteral("▲") : q.up < 0 ? QStringLiteral("▼") : QStringLiteral("—");
        case ColInSum: return QString::number(q.buy, 'f', 4);
        case ColOutSum: return QString::number(q.sell, 'f', 4);
        default: return {};
        }
    case GridRoles::ValueRole:
        switch (c) {
        case ColInCurr: return q.code1;
        case ColOutCurr: return q.code2;
        case ColUpDown: return q.up > 0 ? 2 : q.up < 0 ? 0 : 1;
        case ColInSum: return q.buy;
        case ColOutSum: return q.sell;
        default: return {};
        }
    case Qt::ForegroundRole:
        if (!m_showChanges || q.up == 0)
            return QColor(Qt::black);
        return q.up > 0 ? QColor(Qt::red) : QColor(0, 0x80, 0);
    case Qt::BackgroundRole:
        return index.row() % 2 ? QColor(0xEF, 0xEF, 0xEF) : QColor(Qt::white);
    case Qt::TextAlignmentRole:
        return c >= ColInSum ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant CustomQuoteModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole) {
        switch (section) {
        case ColInCurr: return QStringLiteral("币种1");
        case ColOutCurr: return QStringLiteral("币种2");
        case ColUpDown: return QString();
        case ColInSum: return m_levelName + QStringLiteral("买入价");
        default: return m_levelName + QStringLiteral("卖出价");
        }
    }
    if (role == GridRoles::ColumnNameRole) {
        static const char *const names[] = {"ColInCurr", "ColOutCurr", "ColUpDown", "ColInSum", "ColOutSum"};
        return QString::fromLatin1(names[section]);
    }
    return {};
}
