#pragma once
// The package script "upgrade.xml": root element ROOT, its children are
// sections, their children items, and an item's fields are child elements
// whose text is the value.
//
// Sections COMMON and LINUX (any case) apply on this system; every other
// section (the Windows ones included) is skipped. Inside an applicable
// section only REPLACE, PATCH, CREATE and EXEC (any case) may appear; any
// other node, comments included, is a data error. Fields TARGET, SRC and
// SIZE are matched exactly as written.

#include <QByteArray>
#include <QList>
#include <QString>

class UpgradeScript
{
public:
    enum class ItemKind { Replace, Patch, Create, Exec };

    struct Field {
        bool present = false;
        QString text; // trimmed
    };

    struct Item {
        ItemKind kind = ItemKind::Replace;
        Field target;
        Field src;
        Field size;
        int line = 0;
    };

    struct Result {
        bool ok = false;
        QString error; // what was wrong, for the log; users see "数据错误"
        QList<Item> items; // the items of the applicable sections, in order
    };

    static bool SectionMatchesOS(const QString &sectionName);
    static Result parse(const QByteArray &bytes);
    // The script as text: the declared encoding (GBK and GB2312 included),
    // else a byte-order mark, else UTF-8 when valid, else GBK.
    static QString decodeText(const QByteArray &bytes);
};
