#include "TShanDongBranchController.h"

TShanDongBranchController::TShanDongBranchController(const QString &quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/kanpanqi.jsp"));
    Bands[0].Caption.clear();
    Bands[1].Caption.clear();
    Bands[1].BuyCaption = QStringLiteral("最高");
    Bands[1].SellCaption = QStringLiteral("最低");
    Bands[2].Caption.clear();
    Bands[2].BuyCaption = QStringLiteral("开盘");
    Bands[2].SellCaption = QStringLiteral("收盘");
    HideBands(4, 5);
    Levels[0].LevelName.clear();
    WithdrawLevels(1, 4);
}

QString TShanDongBranchController::BranchCode() const
{
    return QStringLiteral("370000000");
}
