#pragma once

#include "BankRecords.h"

#include <QDateTime>
#include <QList>

// Everything the sandbox bank knows: its settings, currencies and rates,
// branches, customers with their accounts, and every contract.
class BankBook
{
public:
    BankSettings settings;
    QList<CurrencyInfo> currencies;
    QList<QuotedRate> rates;
    QList<DepositProduct> products;
    QList<BranchRules> branches;
    QList<Customer> customers;
    QList<Contract> contracts;
    QString notes;              // free text of the scenario (demo credentials)
    qint64 contractSerial = 1;

    static QString provinceCode(const QString &branchId);
    BranchRules rulesFor(const QString &branchId) const;

    const CurrencyInfo *currency(const QString &code) const;
    const CurrencyInfo *currencyByName(const QString &name) const;
    QString currencyName(const QString &code) const;
    int decimalsOf(const QString &code) const;

    // The quoted pair of two currencies in either order.
    const QuotedRate *rate(const QString &a, const QString &b) const;
    QuotedRate *rate(const QString &a, const QString &b);
    const DepositProduct *product(const QString &id) const;

    Customer *customerByLoginNumber(const QString &loginNumber);
    Customer *customerByUserId(const QString &userId);
    static CardAccount *card(Customer &customer, const QString &accountNo);
    static SubAccount *subBySign(CardAccount &card, const QString &accSign);
    static SubAccount *demandSub(CardAccount &card, const QString &currency, const QString &billFlag);
    // Appends a new sub-account with its own sign.
    SubAccount &openSub(CardAccount &card, const QString &currency, const QString &billFlag,
                        const QString &saveType, const QString &pdtCode, const QString &productId);

    Contract *contract(const QString &contractNo);
    // The business number a branch that keeps them gives a contract.
    QString businessNumber(const CardAccount &card, const QString &contractNo) const;
    // A contract number no contract has yet: the date and a serial, digits only.
    QString newContractNo(const QDateTime &now);
};
