#pragma once
// The branches the client knows: province codes and names, which
// controller serves which branch, and where each branch's quote server is.
//
// A branch identifier is nine digits; its province code is its first three
// characters followed by "000000". The quote servers are configuration:
// section [BranchQuoteServers] of "DededEri.ini", key = the controller's
// branch code (360000000 for the whole Jiangxi group), value = the base
// address of the server ("http://host:port" or with a path prefix). The
// chart host of 420000000 is the key "420000000Chart". The Shanghai
// branch's bank quotes come from the bank endpoint DataSvrIpWithCer.

#include <QString>
#include <memory>

class TBranchBankController;

class BranchDirectory
{
public:
    static QString Section() { return QStringLiteral("BranchQuoteServers"); }

    static QString ProvinceCode(const QString &branchId);
    // The name of the branch's province code; empty when it is not listed.
    static QString ProvinceName(const QString &branchId);
    // The BranchCode of the controller that serves the branch; empty when
    // the branch has none.
    static QString ControllerCode(const QString &branchId);
    // Creates the controller of the branch's province code; raises
    // ENoBranchError for a branch that has none.
    static std::shared_ptr<TBranchBankController> CreateForBranch(const QString &branchId);
    // True when the controller is the one for the branch's province.
    static bool Serves(const TBranchBankController &controller, const QString &branchId);
    // The account choice: keeps the current controller when it serves the
    // branch, otherwise creates the branch's controller and makes it the
    // current one. Returns true when the controller was replaced. Raises
    // ENoBranchError, keeping the current controller, for a branch that
    // has none.
    static bool ChooseForBranch(const QString &branchId);

    // The configured base address of a quote server (trailing "/" removed);
    // empty when none is configured.
    static QString QuoteServer(const QString &key);
};
