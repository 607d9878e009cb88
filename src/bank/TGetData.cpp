#include "TGetData.h"

#include "AnswerCheck.h"
#include "AnswerDocument.h"
#include "AnswerReaders.h"
#include "BankBrowser.h"
#include "BankGatewayImpl.h"
#include "BankTiming.h"
#include "DiagnosticLog.h"
#include "EAnswerError.h"
#include "ImageFetcher.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TBranchBankController.h"
#include "TInCom.h"
#include "TSettings.h"
#include "TShenZhenBranchController.h"
#include "TUser.h"
#include "TWebDownloader.h"
#include "TransactionGuard.h"
#include "TransactionUrls.h"
#include "platform/Formats.h"
#include "platform/MessageBoxes.h"

#include <QThread>

namespace {

TSettings &settings()
{
    if (!Settings)
        throw EResponseError(QStringLiteral("没有可用的银行连接。"));
    return *Settings;
}

// One transaction (or one paged query): holds the guard, owns the fetcher
// and keeps it in the CurrentDownloader slot while it lives.
class Session
{
public:
    Session() { SetCurrentDownloader(&m_downloader); }
    ~Session() { SetCurrentDownloader(nullptr); }

    // Downloads the URL and loads its page text.
    AnswerDocument Fetch(const QString &url)
    {
        settings().TouchRequestTick();
        m_downloader.Download(url);
        return AnswerDocument::Load(m_downloader.GetPageText());
    }
    AnswerDocument FetchChecked(const QString &url)
    {
        AnswerDocument doc = Fetch(url);
        AnswerCheck::CheckAnswer(doc);
        return doc;
    }
    QString PageText() const { return m_downloader.GetPageText(); }

private:
    TransactionGuard::Lock m_lock;
    TWebDownloader m_downloader;
};

// The pacing of paged queries. It blocks the caller without handling
// events, so nothing else can run between two pages.
void pageWait()
{
    const int ms = BankTiming::PageWaitMs();
    if (ms > 0)
        QThread::msleep(ulong(ms));
}

int checkedPageCount(int count)
{
    if (count > TGetData::kMaxPageCount)
        throw EAnswerError(QStringLiteral("PAGECOUNT %1 beyond the limit").arg(count));
    return count;
}

const TAccount &ownerOf(const TAccount *owner)
{
    return TransactionUrls::OwnerOf(owner);
}

// The page loops of LoadHistory and LoadToday.
void loadDealPages(Session &session, TBargainingHistory &query, AnswerReaders::DealList kind, double begin,
                   double end, bool waitEachPage, const TBranchBankController *branch)
{
    const bool deals = kind == AnswerReaders::DealList::HistoryDeals || kind == AnswerReaders::DealList::TodayDeals;
    const TAccount &account = ownerOf(query.Owner);
    int page = 1;
    int count = 1;
    do {
        const QString url = TransactionUrls::DealList(settings(), account, begin, end, page, deals ? 0 : 1);
        if (waitEachPage)
            pageWait();
        const AnswerDocument doc = session.FetchChecked(url);
        count = checkedPageCount(AnswerReaders::DealListPage(doc, query, kind, count, branch));
        ++page;
    } while (page <= count);
}

} // namespace

std::unique_ptr<TUser> TGetData::Login(const QString &loginNo, const QString &password, const QString &verCode,
                                       const QString &digest, TSettings &s)
{
    const QString url = TransactionUrls::Login(s, loginNo, password, verCode, digest);
    Session session;
    const AnswerDocument doc = session.Fetch(url);
    if (!doc.Root()) {
        DiagnosticLog::Write(Formats::formatDateTime(Formats::now()) + QStringLiteral("\r\n验证身份出错\r\n")
                             + doc.PageText());
        throw AnswerCheck::TransportFailure(doc.PageText());
    }
    AnswerCheck::CheckAnswer(doc);
    QString sessionKey;
    auto user = AnswerReaders::Login(doc, &s, password, &sessionKey);
    s.SessionKey = sessionKey;
    return user;
}

void TGetData::LoadAccounts(TUser &user)
{
    QString page;
    try {
        const QString url = TransactionUrls::AccountList(settings(), user);
        Session session;
        const AnswerDocument doc = session.Fetch(url);
        page = doc.PageText();
        AnswerCheck::CheckAnswer(doc);
        AnswerReaders::Accounts(doc, user);
    } catch (const std::exception &e) {
        if (page.isEmpty())
            page = QString::fromUtf8(e.what());
        DiagnosticLog::Write(QStringLiteral("Error Response:") + page + QStringLiteral("\r\n"));
    }
}

void TGetData::LoadSubAccounts(TAccount &card)
{
    const QString url = TransactionUrls::SubAccounts(settings(), card);
    Session session;
    AnswerReaders::SubAccounts(session.FetchChecked(url), card);
}

void TGetData::UpdateSubAccounts(TAccount &card)
{
    const QString url = TransactionUrls::UpdateSubAccounts(settings(), card);
    Session session;
    session.FetchChecked(url);
}

void TGetData::LoadBalance(TAccount &account)
{
    const QString url = TransactionUrls::Balance(settings(), account);
    Session session;
    AnswerReaders::Balance(session.FetchChecked(url), account);
}

void TGetData::LoadStatement(TInCom &query)
{
    const auto branch = CurrentBranchController();
    const QString first = TransactionUrls::Statement(settings(), query, 1, 1, QString());
    Session session;
    const AnswerReaders::StatementPage page1 =
        AnswerReaders::Statement(session.FetchChecked(first), query, true, branch.get());
    const int count = checkedPageCount(page1.PageCount);
    QString aStr = page1.AStr;
    for (int page = 2; page <= count; ++page) {
        try {
            const QString url = TransactionUrls::Statement(settings(), query, page, page - 1, aStr);
            pageWait();
            aStr = AnswerReaders::Statement(session.FetchChecked(url), query, false, branch.get()).AStr;
        } catch (const std::exception &) {
            query.Details.Clear();
            Msg::warning(QStringLiteral("通讯故障，请稍后再试"));
            return;
        }
    }
}

void TGetData::SendBargaining(TBargaining &trade)
{
    if (trade.Step == QLatin1String("0002"))
        return;
    const bool rate = trade.Step == QLatin1String("0001");
    if (!rate && trade.Step != QLatin1String("0003"))
        throw EResponseError(QStringLiteral("交易步骤无效，交易未发送！"));
    const QString url = rate ? TransactionUrls::RateRequest(settings(), trade)
                             : TransactionUrls::DealConfirm(settings(), trade);
    {
        Session session;
        const AnswerDocument doc = session.FetchChecked(url);
        if (rate)
            AnswerReaders::RateAnswer(doc, trade);
        else if (!trade.IsFixedTerm)
            AnswerReaders::DealAnswer(doc, trade);
    }
    trade.IsFixedTerm = false;
}

void TGetData::SendDelegate(TDelegate &order)
{
    const QString url = TransactionUrls::Delegate(settings(), order);
    Session session;
    AnswerReaders::DelegateAnswer(session.FetchChecked(url), order, order.IsFixedTerm);
}

void TGetData::SendDelegateOpponent(TDelegateOpponent &order)
{
    // The existing contract travels as the signature field.
    order.SignStr = order.ContractNo;
    const QString url = TransactionUrls::DelegateOpponent(settings(), order);
    Session session;
    AnswerReaders::DelegateOpponentAnswer(session.FetchChecked(url), order);
}

void TGetData::SendDelegateCancel(TDelegateCancel &cancel)
{
    const QString url = TransactionUrls::DelegateCancel(settings(), cancel);
    Session session;
    session.FetchChecked(url);
}

void TGetData::LoadHistory(TBargainingHistory &query)
{
    const auto branch = CurrentBranchController();
    const bool single = !query.ContractNo.trimmed().isEmpty()
        && dynamic_cast<const TShenZhenBranchController *>(branch.get()) != nullptr;
    if (single) {
        const QString url = TransactionUrls::SingleContract(settings(), query);
        Session session;
        pageWait();
        AnswerReaders::SingleContract(session.FetchChecked(url), query);
    } else {
        ownerOf(query.Owner);
        Session session;
        const auto kind = query.ListsDeals() ? AnswerReaders::DealList::HistoryDeals
                                             : AnswerReaders::DealList::HistoryOrders;
        loadDealPages(session, query, kind, query.BeginDate, query.EndDate, true, branch.get());
    }
    query.SortNewestFirst();
}

void TGetData::LoadToday(TBargainingToday &query)
{
    const auto branch = CurrentBranchController();
    ownerOf(query.Owner);
    const double today = Formats::today();
    const bool deals = query.ListsDeals();
    {
        Session session;
        loadDealPages(session, query,
                      deals ? AnswerReaders::DealList::TodayDeals : AnswerReaders::DealList::TodayOrders, today, today,
                      !deals, branch.get());
    }
    query.SortNewestFirst();
}

void TGetData::KeepAliveOrders(const TAccount &account)
{
    try {
        if (TransactionGuard::Busy() || !Settings)
            return;
        const double today = Formats::today();
        NavigateNoWait(TransactionUrls::DealList(*Settings, account, today, today, 1, 1));
    } catch (...) {
    }
}

void TGetData::KeepAliveSubAccounts(const TAccount &account)
{
    try {
        if (TransactionGuard::Busy() || !Settings)
            return;
        NavigateNoWait(TransactionUrls::UpdateSubAccounts(*Settings, account));
    } catch (...) {
    }
}

void TGetData::NavigateNoWait(const QString &url)
{
    try {
        BankBrowser::Instance()->NavigateNoWait(url);
    } catch (...) {
    }
}

bool TGetData::IsPageUnavailable()
{
    return BankBrowser::Instance()->IsPageUnavailable();
}

void TGetData::FetchToFile(const QString &url, const QString &path)
{
    ImageFetcher::FetchToFile(url, path);
}

void TGetData::InstallGateway()
{
    static BankGatewayImpl gateway;
    BankGateway::Install(&gateway);
}
