#include "TGuangXiBranchController.h"

TGuangXiBranchController::TGuangXiBranchController(const QString &quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/kanpanqi.jsp"));
    Bands[0].Caption.clear();
    Bands[1].Caption.clear();
    Bands[1].BuyCaption = QStringLiteral("最高");
    Bands[1].SellCaption = QStringLiteral("最低");
    HideBands(3, 5);
    Levels[0].LevelName.clear();
    WithdrawLevels(1, 4);
}

QString TGuangXiBranchController::BranchCode() const
{
    return QStringLiteral("450000000");
}

bool TGuangXiBranchController::IsCurrencySupported(const QString &currencyCode) const
{
    return currencyCode != QLatin1String("18") && TBranchBankController::IsCurrencySupported(currencyCode);
}
