#include "TradeDesk.h"

#include "Ledger.h"
#include "Pricing.h"

#include <QCryptographicHash>

namespace {

const QStringList kFlags = {QStringLiteral("0"), QStringLiteral("1")};

// The trade as the request describes it, after every check.
struct TradeRequest
{
    CardAccount *card = nullptr;
    SubAccount *sellSub = nullptr;
    const QuotedRate *pair = nullptr;
    QString sell;
    QString buy;
    QString billFlag;
    QString transDir;
    QString subAcc;
    QString productId;
    FixedAmount amount;
    bool fixedTerm = false;
};

void checkFixedTermOffered(TransactionCall &call, const CardAccount &card)
{
    if (!call.rules(card).fixedTerm)
        call.refuse(QStringLiteral("0500"), QStringLiteral("本分行未开通定期外汇买卖"));
}

// The common part of every instant trade and order request.
TradeRequest readTrade(TransactionCall &call, bool fixedTerm)
{
    TradeRequest t;
    t.fixedTerm = fixedTerm;
    t.card = &call.card();
    call.checkBranch(*t.card);
    call.checkForexCard(*t.card);
    if (fixedTerm)
        checkFixedTermOffered(call, *t.card);
    call.checkTradePassword();

    t.subAcc = call.nonEmpty(QStringLiteral("SUB_ACC"));
    t.billFlag = call.choice(QStringLiteral("BILL_FLAG"), kFlags);
    t.transDir = call.choice(QStringLiteral("TRANS_DIR"), kFlags);
    t.buy = call.currencyCode(QStringLiteral("BUY_CUR_TYPE"));
    if (fixedTerm) {
        t.sellSub = BankBook::subBySign(*t.card, t.subAcc);
        if (!t.sellSub || t.sellSub->isDemand())
            call.refuse(QStringLiteral("0501"), QStringLiteral("定期子账户不存在"));
        if (t.sellSub->chaoHui != t.billFlag)
            call.refuse(QStringLiteral("0503"), QStringLiteral("钞汇标志与子账户不符"));
        t.sell = t.sellSub->currency;
        // Only the confirmation names the currency sold; it must be the deposit's.
        if (call.txcode == QLatin1String("320903") && call.text(QStringLiteral("SELL_CUR_TYPE")) != t.sell)
            call.refuseValue(QStringLiteral("SELL_CUR_TYPE"));
        t.productId = call.nonEmpty(QStringLiteral("PROID"));
        if (!call.book.product(t.productId))
            call.refuse(QStringLiteral("0504"), QStringLiteral("存期不正确"));
        if (t.transDir == QLatin1String("0") && !call.rules(*t.card).fixedTermIn)
            call.refuse(QStringLiteral("0502"), QStringLiteral("本分行定期外汇买卖只能按卖出金额交易"));
    } else {
        if (t.subAcc != t.card->accountNo)
            call.refuseValue(QStringLiteral("SUB_ACC"));
        t.sell = call.currencyCode(QStringLiteral("SELL_CUR_TYPE"));
    }
    t.pair = &call.tradablePair(*t.card, t.sell, t.buy);
    t.amount = call.amount(QStringLiteral("CHANGED_AMOUNT"), t.transDir == QLatin1String("0") ? t.buy : t.sell);
    if (!fixedTerm) {
        t.sellSub = BankBook::demandSub(*t.card, t.sell, t.billFlag);
        if (!t.sellSub)
            call.refuse(QStringLiteral("0400"), QStringLiteral("没有该币种的%1账户")
                                                    .arg(t.billFlag == QLatin1String("0") ? QStringLiteral("现钞") : QStringLiteral("现汇")));
    }
    return t;
}

void checkCovered(TransactionCall &call, const SubAccount &sub, FixedAmount needed)
{
    if (needed > sub.usable())
        call.refuse(QStringLiteral("0401"), QStringLiteral("可用余额不足"));
}

QString quoteSign(const QByteArray &secret, const Quote &q)
{
    const QString text = QStringList{q.contractNo, q.accountNo, q.subAcc, q.sell, q.buy, q.billFlag,
                                     q.transDir, q.amount.toText(4), q.rate.toText(4),
                                     q.issued.toString(Qt::ISODateWithMs)}
                             .join(u'|');
    return QString::fromLatin1(
        QCryptographicHash::hash(secret + text.toUtf8(), QCryptographicHash::Sha256).toHex().left(32).toUpper());
}

QString amountWithName(const BankBook &book, FixedAmount amount, const QString &currency)
{
    return amount.toText(book.decimalsOf(currency)) + book.currencyName(currency);
}

Contract newContract(TransactionCall &call, const TradeRequest &t, ContractKind kind)
{
    Contract c;
    c.contractNo = call.book.newContractNo(call.now);
    c.businessNo = call.book.businessNumber(*t.card, c.contractNo);
    c.kind = kind;
    c.userId = call.customer->userId;
    c.accountNo = t.card->accountNo;
    c.sellSign = t.sellSub ? t.sellSub->accSign : QString();
    c.sellCurrency = t.sell;
    c.buyCurrency = t.buy;
    c.billFlag = t.billFlag;
    c.transDir = t.transDir;
    c.placed = call.now;
    c.fixedTerm = t.fixedTerm;
    c.productId = t.productId;
    return c;
}

// Take-profit and stop-loss rates must lie on the right side of the market.
void checkOrderRates(TransactionCall &call, const TradeRequest &t, FixedAmount profit, FixedAmount loss)
{
    if (profit.isZero() && loss.isZero())
        call.refuse(QStringLiteral("0600"), QStringLiteral("获利汇率和止损汇率不能同时为空"));
    const FixedAmount market = Pricing::marketRate(*t.pair, t.sell);
    const bool sellsBase = t.sell == t.pair->base;
    if (!profit.isZero() && (sellsBase ? profit <= market : profit >= market))
        call.refuse(QStringLiteral("0601"), QStringLiteral("获利汇率不合理，当前汇率为%1").arg(market.toFixed(4)));
    if (!loss.isZero() && (sellsBase ? loss >= market : loss <= market))
        call.refuse(QStringLiteral("0602"), QStringLiteral("止损汇率不合理，当前汇率为%1").arg(market.toFixed(4)));
}

} // namespace

XmlAnswer TradeDesk::quote(TransactionCall &call)
{
    const bool fixedTerm = call.txcode == QLatin1String("320902");
    const TradeRequest t = readTrade(call, fixedTerm);
    const FixedAmount rate = Pricing::marketRate(*t.pair, t.sell);
    const Pricing::Conversion c = Pricing::convert(call.book, *t.pair, t.sell, t.buy, t.transDir, t.amount, rate);
    checkCovered(call, *t.sellSub, c.sellAmount);

    Quote q;
    q.contractNo = call.book.newContractNo(call.now);
    q.accountNo = t.card->accountNo;
    q.subAcc = t.subAcc;
    q.sell = t.sell;
    q.buy = t.buy;
    q.billFlag = t.billFlag;
    q.transDir = t.transDir;
    q.productId = t.productId;
    q.fixedTerm = fixedTerm;
    q.amount = t.amount;
    q.rate = rate;
    q.issued = call.now;
    q.sign = quoteSign(call.state.secret, q);
    call.session->quotes.insert(q.contractNo, q);

    XmlAnswer a;
    a.add(QStringLiteral("RATIO"), rate.toFixed(4));
    a.add(QStringLiteral("PT_SIGN_STR"), q.sign);
    a.add(QStringLiteral("CONTRACT_NO"), q.contractNo);
    a.add(QStringLiteral("SALEAMOUNT"), c.sellAmount.toText(call.book.decimalsOf(t.sell)));
    a.add(QStringLiteral("BUYAMOUNT"), c.buyAmount.toText(call.book.decimalsOf(t.buy)));
    return a;
}

XmlAnswer TradeDesk::confirm(TransactionCall &call)
{
    const bool fixedTerm = call.txcode == QLatin1String("320903");
    TradeRequest t = readTrade(call, fixedTerm);
    const QString sign = call.nonEmpty(QStringLiteral("PT_SIGN_STR"));
    const QString contractNo = call.nonEmpty(QStringLiteral("CONTRACT_NO"));

    auto it = call.session->quotes.find(contractNo);
    if (it == call.session->quotes.end()) {
        if (call.book.contract(contractNo))
            call.refuse(QStringLiteral("0410"), QStringLiteral("该报价已成交，不能重复提交"));
        call.refuse(QStringLiteral("0411"), QStringLiteral("报价不存在，请重新询价"));
    }
    const Quote q = *it;
    if (q.sign != sign)
        call.refuse(QStringLiteral("0412"), QStringLiteral("报价签名不符"));
    if (q.issued.msecsTo(call.now) > call.book.settings.quoteValidMs)
        call.refuse(QStringLiteral("0413"), QStringLiteral("报价已过期，请重新询价"));
    if (q.fixedTerm != fixedTerm || q.accountNo != t.card->accountNo || q.subAcc != t.subAcc
        || q.sell != t.sell || q.buy != t.buy || q.billFlag != t.billFlag || q.transDir != t.transDir
        || q.amount != t.amount || q.productId != t.productId)
        call.refuse(QStringLiteral("0414"), QStringLiteral("确认信息与报价不符"));

    const Pricing::Conversion c = Pricing::convert(call.book, *t.pair, t.sell, t.buy, t.transDir, t.amount, q.rate);
    checkCovered(call, *t.sellSub, c.sellAmount);

    // Every check has passed: deal.
    Contract deal = newContract(call, t, ContractKind::InstantDeal);
    deal.contractNo = contractNo;
    deal.sellAmount = c.sellAmount;
    deal.buyAmount = c.buyAmount;
    deal.dealRate = q.rate;
    deal.dealt = call.now;
    deal.status = QString::fromLatin1(Contract::kDealt);
    Ledger::post(*t.sellSub, -c.sellAmount, QStringLiteral("外汇买卖"), call.now);
    t.sellSub = nullptr; // the buy side may add a sub-account
    Ledger::post(Ledger::buyTarget(call.book, *t.card, deal), c.buyAmount, QStringLiteral("外汇买卖"), call.now);
    call.book.contracts.append(deal);
    call.session->quotes.remove(contractNo);

    XmlAnswer a;
    XmlElement &r = a.add(QStringLiteral("RESULTMSG"));
    r.add(fixedTerm ? QStringLiteral("CONTRACTNO") : QStringLiteral("CONTRCTNO"), contractNo);
    r.add(QStringLiteral("BUY_CUR"), amountWithName(call.book, c.buyAmount, t.buy));
    r.add(QStringLiteral("SALE_CUR"), amountWithName(call.book, c.sellAmount, t.sell));
    r.add(QStringLiteral("RATIO"), q.rate.toFixed(4));
    r.add(QStringLiteral("TRANSTIME"), call.now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    return a;
}

XmlAnswer TradeDesk::placeOrder(TransactionCall &call)
{
    const bool fixedTerm = call.txcode == QLatin1String("321002");
    const TradeRequest t = readTrade(call, fixedTerm);
    const FixedAmount profit = call.rate(QStringLiteral("QUOTEPRICE"), true);
    const FixedAmount loss = call.rate(QStringLiteral("SHUTRATE"), true);
    const int days = call.integer(QStringLiteral("VLAIDDAY"), 1, call.book.settings.maxOrderDays);
    checkOrderRates(call, t, profit, loss);

    // The money held: the amount sold, or for an amount bought what the
    // least favourable of the order's rates would cost.
    FixedAmount held = t.amount;
    if (t.transDir == QLatin1String("0")) {
        held = {};
        for (FixedAmount r : {profit, loss})
            if (!r.isZero())
                held = qMax(held, Pricing::convert(call.book, *t.pair, t.sell, t.buy, t.transDir, t.amount, r).sellAmount);
    }
    checkCovered(call, *t.sellSub, held);

    Contract order = newContract(call, t, ContractKind::Order);
    order.status = QString::fromLatin1(Contract::kOpen);
    (t.transDir == QLatin1String("0") ? order.buyAmount : order.sellAmount) = t.amount;
    order.quotePrice = profit;
    order.shutRate = loss;
    order.validDays = days;
    order.lastDay = call.now.date().addDays(days - 1);
    order.frozen = held;
    t.sellSub->frozen += held;
    call.book.contracts.append(order);

    XmlAnswer a;
    XmlElement &r = a.add(QStringLiteral("RESULTMSG"));
    r.add(fixedTerm ? QStringLiteral("CONTRACTNO") : QStringLiteral("CONTRCTNO"), order.contractNo);
    r.add(QStringLiteral("ENDDATE"), order.lastDay.toString(QStringLiteral("yyyy/MM/dd")));
    return a;
}

XmlAnswer TradeDesk::appendOrder(TransactionCall &call)
{
    const bool fixedTerm = call.txcode == QLatin1String("321204");
    CardAccount &card = call.card();
    call.checkBranch(card);
    call.checkForexCard(card);
    if (fixedTerm)
        checkFixedTermOffered(call, card);
    if (!call.rules(card).appendedOrders)
        call.refuse(QStringLiteral("0700"), QStringLiteral("本分行无追加挂单业务"));
    call.checkTradePassword();

    const QString parentNo = call.nonEmpty(QStringLiteral("CONTRACT_NO1"));
    if (call.text(QStringLiteral("NETBANKNO")) != parentNo)
        call.refuseValue(QStringLiteral("NETBANKNO"));
    Contract *parent = call.book.contract(parentNo);
    if (!parent || parent->kind != ContractKind::Order || parent->userId != call.customer->userId
        || parent->accountNo != card.accountNo || parent->fixedTerm != fixedTerm)
        call.refuse(QStringLiteral("0701"), QStringLiteral("原委托合同不存在"));
    if (parent->status != QLatin1String(Contract::kOpen))
        call.refuse(QStringLiteral("0702"), QStringLiteral("该合同不能追加挂单"));
    if (const Contract *old = call.book.contract(parent->child); old && old->isOpen())
        call.refuse(QStringLiteral("0703"), QStringLiteral("该合同已有追加挂单"));
    if (call.currencyCode(QStringLiteral("BUY_CUR_TYPE")) != parent->sellCurrency)
        call.refuse(QStringLiteral("0704"), QStringLiteral("追加挂单的买入币种必须是原委托的卖出币种"));
    QString productId;
    if (fixedTerm) {
        productId = call.nonEmpty(QStringLiteral("PROID"));
        if (!call.book.product(productId))
            call.refuse(QStringLiteral("0504"), QStringLiteral("存期不正确"));
    }
    const FixedAmount profit = call.rate(QStringLiteral("QUOTEPRICE"), true);
    const FixedAmount loss = call.rate(QStringLiteral("SHUTRATE"), true);
    if (profit.isZero() && loss.isZero())
        call.refuse(QStringLiteral("0600"), QStringLiteral("获利汇率和止损汇率不能同时为空"));
    const int days = call.integer(QStringLiteral("VLAIDDAY"), 1, call.book.settings.maxOrderDays);

    Contract child;
    child.contractNo = call.book.newContractNo(call.now);
    child.businessNo = call.book.businessNumber(card, child.contractNo);
    child.kind = ContractKind::AppendedOrder;
    child.userId = call.customer->userId;
    child.accountNo = card.accountNo;
    child.sellCurrency = parent->buyCurrency;
    child.buyCurrency = parent->sellCurrency;
    child.billFlag = parent->billFlag;
    child.transDir = QStringLiteral("1");
    child.quotePrice = profit;
    child.shutRate = loss;
    child.validDays = days;
    child.lastDay = call.now.date().addDays(days - 1);
    child.placed = call.now;
    child.status = QString::fromLatin1(Contract::kOpenAppended);
    child.parent = parentNo;
    child.fixedTerm = fixedTerm;
    child.productId = productId;
    parent->child = child.contractNo;
    call.book.contracts.append(child);

    XmlAnswer a;
    XmlElement &r = a.add(QStringLiteral("RESULTMSG"));
    r.add(QStringLiteral("NEWCONTRACTNO"), child.contractNo);
    r.add(QStringLiteral("CONTRACTNO1"), parentNo);
    return a;
}

XmlAnswer TradeDesk::cancelOrder(TransactionCall &call)
{
    CardAccount &card = call.card();
    call.checkBranch(card);
    call.checkTradePassword(kCancelPlaceholder);
    const QString no = call.nonEmpty(QStringLiteral("CONTRACT_NO"));
    Contract *order = call.book.contract(no);
    if (!order || order->kind == ContractKind::InstantDeal || order->userId != call.customer->userId
        || order->accountNo != card.accountNo)
        call.refuse(QStringLiteral("0800"), QStringLiteral("委托合同不存在"));
    if (!order->isOpen())
        call.refuse(QStringLiteral("0801"), QStringLiteral("该合同已成交、撤销或失效，不能撤单"));
    Ledger::closeOrder(call.book, *order, QString::fromLatin1(Contract::kCancelled));

    XmlAnswer a;
    XmlElement &r = a.add(QStringLiteral("RESULTMSG"));
    r.add(QStringLiteral("CONTRACTNO"), no);
    r.add(QStringLiteral("STATUSCODE"), order->status);
    return a;
}
