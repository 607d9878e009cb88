#include "THeNanBranchController.h"

THeNanBranchController::THeNanBranchController(const QString &quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/kanpanqi.jsp"));
}

QString THeNanBranchController::BranchCode() const
{
    return QStringLiteral("410000000");
}
