#include "TFuJianBranchController.h"

TFuJianBranchController::TFuJianBranchController(const QString &quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/vod/kanpanqi.jsp"));
    HasFixedTerm = true;
}

QString TFuJianBranchController::BranchCode() const
{
    return QStringLiteral("350000000");
}
