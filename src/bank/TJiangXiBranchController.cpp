#include "TJiangXiBranchController.h"

TJiangXiBranchController::TJiangXiBranchController(const QString &quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/kanpanqi.jsp"));
    ShowOpenPrice = true;
    ShowLastPrice = true;
}

QString TJiangXiBranchController::BranchCode() const
{
    return QStringLiteral("360000000");
}
