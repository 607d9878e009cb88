#include "TBeiJingBranchController.h"

TBeiJingBranchController::TBeiJingBranchController(const QString &quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/client/kanpanqi.jsp"));
    HideBands(2, 5);
    Levels[0].LevelName.clear();
    WithdrawLevels(1, 4);
}

QString TBeiJingBranchController::BranchCode() const
{
    return QStringLiteral("110000000");
}

bool TBeiJingBranchController::IsCurrencySupported(const QString &currencyCode) const
{
    return currencyCode != QLatin1String("18") && TBranchBankController::IsCurrencySupported(currencyCode);
}
