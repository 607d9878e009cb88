// Any body the bank might send, decoded as the transport decodes it, goes
// through the answer check and every reader. Each must end normally or with
// EResponseError; nothing else may escape, nothing may crash.
//
// The first byte chooses the declared character set and the branch whose
// reading rules apply; the rest is the body.

#include "AnswerCheck.h"
#include "AnswerDocument.h"
#include "AnswerReaders.h"
#include "ForexErrors.h"
#include "PageText.h"
#include "SharedInstances.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TBeiJingBranchController.h"
#include "TCurrencyList.h"
#include "TInCom.h"
#include "TSettings.h"
#include "TShangHaiBranchController.h"
#include "TUser.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdint>
#include <cstdlib>
#include <functional>

namespace {

void setUp()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    static int argc = 1;
    static char arg0[] = "fuzz";
    static char *argv[] = {arg0, nullptr};
    new QCoreApplication(argc, argv);
    SharedInstances::Create();
    CurrencyList->Build({QStringLiteral("14=美元|USD|US DOLLAR||1"), QStringLiteral("27=日元|JPY|JAPANESE YEN||1"),
                         QStringLiteral("38=欧元|EUR|EURO||1")});
}

void guarded(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EResponseError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    setUp();
    if (size == 0)
        return 0;
    static const char *charsets[] = {"", "gb2312", "utf-8", "utf-16", "GBK", "iso-8859-1", "x-unknown", "unicode"};
    const uint8_t selector = data[0];
    const QByteArray body(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString page = PageText::Clean(PageText::Decode(body, QLatin1String(charsets[selector & 7])));
    const AnswerDocument doc = AnswerDocument::Load(page);

    static TShangHaiBranchController shanghai{QString(), QString()};
    static TBeiJingBranchController beijing{QString()};
    const TBranchBankController *branch = (selector >> 3) % 3 == 1 ? static_cast<const TBranchBankController *>(&shanghai)
                                        : (selector >> 3) % 3 == 2 ? &beijing
                                                                   : nullptr;
    try {
        AnswerCheck::CheckAnswer(doc);
    } catch (const EResponseError &) {
        return 0;
    }

    TUser user(Settings);
    user.UserId = QStringLiteral("U");
    QString key;
    guarded([&] { AnswerReaders::Login(doc, Settings, QStringLiteral("P"), &key); });
    guarded([&] { AnswerReaders::Accounts(doc, user); });
    auto *card = user.Accounts.Emplace<TAccount>(Settings, &user);
    guarded([&] { AnswerReaders::SubAccounts(doc, *card); });
    guarded([&] { AnswerReaders::Balance(doc, *card); });
    TInCom statement(Settings);
    statement.Account = card;
    guarded([&] { AnswerReaders::Statement(doc, statement, true, branch); });
    guarded([&] { AnswerReaders::Statement(doc, statement, false, branch); });
    TBargaining trade(Settings, card);
    guarded([&] { AnswerReaders::RateAnswer(doc, trade); });
    guarded([&] { AnswerReaders::DealAnswer(doc, trade); });
    TDelegate order(Settings, card);
    guarded([&] { AnswerReaders::DelegateAnswer(doc, order, (selector & 64) != 0); });
    TDelegateOpponent appended(Settings, card);
    guarded([&] { AnswerReaders::DelegateOpponentAnswer(doc, appended); });
    TBargainingHistory history(Settings, card);
    for (auto kind : {AnswerReaders::DealList::HistoryDeals, AnswerReaders::DealList::HistoryOrders,
                      AnswerReaders::DealList::TodayDeals, AnswerReaders::DealList::TodayOrders})
        guarded([&] { AnswerReaders::DealListPage(doc, history, kind, 1, branch); });
    guarded([&] { AnswerReaders::SingleContract(doc, history); });
    history.SortNewestFirst();
    return 0;
}
