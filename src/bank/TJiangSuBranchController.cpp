#include "TJiangSuBranchController.h"

TJiangSuBranchController::TJiangSuBranchController(const QString &quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/kanpanqi.jsp"));
    HideBands(2, 5);
    Levels[0].LevelName.clear();
    WithdrawLevels(1, 4);
}

QString TJiangSuBranchController::BranchCode() const
{
    return QStringLiteral("320000000");
}

bool TJiangSuBranchController::IsCurrencySupported(const QString &currencyCode) const
{
    return currencyCode != QLatin1String("18") && TBranchBankController::IsCurrencySupported(currencyCode);
}
