#include "TShenZhenBranchController.h"

TShenZhenBranchController::TShenZhenBranchController(const QString &quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/kanpanqi.jsp"));
    HasFixedTerm = true;
}

QString TShenZhenBranchController::BranchCode() const
{
    return QStringLiteral("442000000");
}
