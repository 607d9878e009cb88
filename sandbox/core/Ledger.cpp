#include "Ledger.h"

#include "Pricing.h"

void Ledger::post(SubAccount &sub, FixedAmount delta, const QString &memo, const QDateTime &time,
                  const QString &place)
{
    sub.balance += delta;
    StatementLine line;
    line.time = time;
    line.amount = delta.abs();
    line.income = !delta.isNegative();
    line.memo = memo;
    line.place = place;
    line.balanceAfter = sub.balance;
    sub.statement.append(line);
}

CardAccount *Ledger::cardOf(BankBook &book, const Contract &contract)
{
    Customer *customer = book.customerByUserId(contract.userId);
    return customer ? BankBook::card(*customer, contract.accountNo) : nullptr;
}

SubAccount &Ledger::buyTarget(BankBook &book, CardAccount &card, const Contract &contract)
{
    if (contract.fixedTerm) {
        const DepositProduct *p = book.product(contract.productId);
        return book.openSub(card, contract.buyCurrency, contract.billFlag,
                            p ? p->saveType : QStringLiteral("整存整取"), p ? p->pdtCode : QString(),
                            contract.productId);
    }
    if (SubAccount *s = BankBook::demandSub(card, contract.buyCurrency, contract.billFlag))
        return *s;
    return book.openSub(card, contract.buyCurrency, contract.billFlag, kDemandSaveType,
                        QStringLiteral("0101"), QString());
}

QString Ledger::executeOrder(BankBook &book, Contract &order, FixedAmount rate, const QDateTime &now)
{
    if (!order.isOpen())
        return QStringLiteral("the contract is not open");
    if (order.isDormant())
        return QStringLiteral("the appended order waits for its contract to be dealt");
    CardAccount *card = cardOf(book, order);
    SubAccount *sell = card ? BankBook::subBySign(*card, order.sellSign) : nullptr;
    const QuotedRate *pair = book.rate(order.sellCurrency, order.buyCurrency);
    if (!sell || !pair)
        return QStringLiteral("the contract's account or pair is gone");
    if (rate.isZero())
        return QStringLiteral("no rate");

    const FixedAmount amount = order.transDir == QLatin1String("0") ? order.buyAmount : order.sellAmount;
    const Pricing::Conversion c = Pricing::convert(book, *pair, order.sellCurrency,
                                                   order.buyCurrency, order.transDir, amount, rate);
    if (c.sellAmount > sell->balance - (sell->frozen - order.frozen))
        return QStringLiteral("the balance does not cover the sold amount");

    sell->frozen -= order.frozen;
    order.frozen = {};
    post(*sell, -c.sellAmount, QStringLiteral("委托成交"), now);
    SubAccount &buy = buyTarget(book, *card, order);
    post(buy, c.buyAmount, QStringLiteral("委托成交"), now);
    order.sellAmount = c.sellAmount;
    order.buyAmount = c.buyAmount;
    order.dealRate = rate;
    order.dealt = now;
    order.status = QString::fromLatin1(Contract::kDealt);

    if (Contract *child = book.contract(order.child); child && child->isOpen()) {
        // The appended order now sells what this one bought.
        SubAccount *again = BankBook::subBySign(*card, buy.accSign);
        child->sellSign = again->accSign;
        child->sellAmount = c.buyAmount;
        child->frozen = c.buyAmount;
        again->frozen += c.buyAmount;
    }
    return {};
}

void Ledger::closeOrder(BankBook &book, Contract &order, const QString &status)
{
    if (!order.isOpen())
        return;
    if (CardAccount *card = cardOf(book, order))
        if (SubAccount *sell = BankBook::subBySign(*card, order.sellSign))
            sell->frozen -= order.frozen;
    order.frozen = {};
    order.status = status;
    if (Contract *child = book.contract(order.child))
        closeOrder(book, *child, status);
}

void Ledger::sweepExpired(BankBook &book, const QDate &today)
{
    for (Contract &c : book.contracts)
        if (c.kind != ContractKind::InstantDeal && c.isOpen() && c.lastDay.isValid() && c.lastDay < today)
            closeOrder(book, c, QString::fromLatin1(Contract::kExpired));
}
