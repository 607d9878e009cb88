// The main window and the account views on screen (offscreen): page
// switching and shortcuts, the first show's fetch into the account page,
// refresh failures, busy blocking, the timers, keep-alive and idle exit,
// the exit confirmation and what is saved, the options dialog, the
// statement window, the other accounts.

#include "MainTimings.h"
#include "OtherAccountModel.h"
#include "SessionBank.h"
#include "StatementModel.h"
#include "SubAccountModel.h"
#include "TAccountFm.h"
#include "TAcctDetailfm.h"
#include "TFrameAcct.h"
#include "TMainPage.h"
#include "TMainfm.h"
#include "TNBSettingFm.h"
#include "TOtherAcctlistFm.h"
#include "TcheckcloseFm.h"
#include "TestWorld.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QtTest/QTest>
#include <stdexcept>

namespace {

// The longest any condition below is waited for; each wait ends as soon as
// its condition holds.
constexpr int kWaitMs = 3000;

// A stand-in for a page window that other parts build.
class DummyPage : public QWidget, public TMainPage
{
public:
    explicit DummyPage(QString name) : m_name(std::move(name)) {}
    QString PageClassName() const override { return m_name; }
    void ActivatePage(int type) override { activations << type; }
    void HandleNotification(int message, int flag) override { notes << QStringLiteral("%1:%2").arg(message).arg(flag); }
    QList<int> activations;
    QStringList notes;

private:
    QString m_name;
};

class MainWindowTest : public TestWorld
{
protected:
    MainWindowTest() : m_timings(shortTimings())
    {
        bank.subs = {{"01", "0", 7000, 14000}, {"14", "1", 100, 200}, {"27", "0", 12345.6, 20000}};
        bank.tickOnRequest = 777;
        Settings->ExitSysIdleTime = 600;
        Settings->SaveProfitData = false;
        Settings->SaveIni = true;
        auto &ext = TMainfm::Ext();
        ext.confirmExit = [this](QWidget *) {
            ++confirmations;
            return confirmAnswer;
        };
        ext.terminate = [this] { ++terminations; };
        ext.deleteLocalRows = [this](const QString &userId) { deleted << userId; };
        ext.tickCount = [this] { return fakeNow; };
        window = new TMainfm;
        page = new TAccountFm(window);
        window->AttachAccountPage(page);
    }
    ~MainWindowTest() override
    {
        delete window;
        TMainfm::Ext() = {};
    }

    static MainTimings::Values shortTimings()
    {
        MainTimings::Values v;
        v.postTimerMs = 15;
        v.secondMs = 10; // refresh intervals of n "seconds" run every n × 10 ms
        return v;
    }

    void showWindow()
    {
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY_QUIET(QTest::qWaitForWindowExposed(window));
        QCoreApplication::processEvents();
    }
    void QVERIFY_QUIET(bool ok) { EXPECT_TRUE(ok); }

    int rows() const { return page->Frame->Model->rowCount(); }
    QString userIni() const { return Settings->UserIniPath(LoginName); }

    MainTimings::Override m_timings;
    TMainfm *window = nullptr;
    TAccountFm *page = nullptr;
    bool confirmAnswer = true;
    int confirmations = 0;
    int terminations = 0;
    QStringList deleted;
    uint32_t fakeNow = 1000;
};

TEST_F(MainWindowTest, PagesAndShortcuts)
{
    auto *deals = new DummyPage(QStringLiteral("TDevolveFm"));
    window->RegisterPage(TMainfm::PageId::DealList, deals);
    showWindow();
    // Without an overview page the account page is the first page.
    EXPECT_EQ(window->CurrentPage, page);
    EXPECT_EQ(window->PageNames(), (QStringList{"TAccountFm", "TDevolveFm"}));
    EXPECT_FALSE(window->mnuColl->isEnabled()) << "the overview does not exist yet";
    EXPECT_FALSE(window->mnuInfo->isEnabled());

    QTest::keyClick(window, Qt::Key_F7);
    EXPECT_EQ(window->CurrentPage, deals);
    EXPECT_EQ(deals->activations, QList<int>{0});
    QTest::keyClick(window, Qt::Key_Home);
    EXPECT_EQ(window->CurrentPage, deals) << "Home does nothing without the overview";
    QTest::keyClick(window, Qt::Key_F6);
    EXPECT_EQ(window->CurrentPage, page);
    EXPECT_EQ(window->PageHost->currentWidget(), page);
    EXPECT_TRUE(window->ShowPageByName(QStringLiteral("tdevolvefm")));
    EXPECT_EQ(window->CurrentPage, deals);
    EXPECT_FALSE(window->ShowPageByName(QStringLiteral("TCollFm")));

    // Trade commands: F3 the order page, F5 the cancel tab, Insert the area.
    QTest::keyClick(window, Qt::Key_F3);
    EXPECT_EQ(window->Notebook1->currentIndex(), 1);
    QTest::keyClick(window, Qt::Key_F5);
    EXPECT_EQ(window->pgcDoTrans->currentWidget(), window->TabSheet4);
    QTest::keyClick(window, Qt::Key_F2);
    EXPECT_EQ(window->pgcDoTrans->currentWidget(), window->TabSheet3);
    EXPECT_EQ(window->Notebook1->currentIndex(), 0);
    QTest::keyClick(window, Qt::Key_Insert);
    EXPECT_FALSE(window->pnlTransArea->isVisible());
    Settings->UseCert = false;
    QTest::keyClick(window, Qt::Key_Insert);
    QTest::keyClick(window, Qt::Key_F3);
    EXPECT_FALSE(window->pnlTransArea->isVisible()) << "without UseCert the trade commands do nothing";
    Settings->UseCert = true;
    // No branch controller: appended orders are refused with the warning.
    QTest::keyClick(window, Qt::Key_F4);
    EXPECT_EQ(window->Notebook1->currentIndex(), 0);
    EXPECT_TRUE(boxes.contains(QStringLiteral("Ostrel 个人外汇买卖: 本分行无追加挂单操作！")) ||
                boxes.filter(QStringLiteral("本分行无追加挂单操作！")).size() == 1);
}

TEST_F(MainWindowTest, FirstShowFetchesIntoTheAccountPage)
{
    showWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows() == 3; }, kWaitMs));
    // Applying the account rebuilt the quote list from CurrCustom; the
    // quotes of the feed arrive afterwards.
    quote("14", "01", 7.00, 7.10);
    EXPECT_EQ(bank.calls.count(QStringLiteral("LoadSubAccounts")), 1);
    EXPECT_EQ(page->Frame->LabAcctNo->text(), QStringLiteral("6222020200*****5678"));
    EXPECT_EQ(page->Frame->LabAcctNo->toolTip(), QStringLiteral("6222020200012345678"));
    EXPECT_EQ(page->Frame->LabTotal->text(), QStringLiteral("-")) << "no target chosen";
    // USD as target: CNY is quoted only as USD/CNY and is divided by 7.
    page->Frame->SetTarget(QStringLiteral("14"));
    EXPECT_EQ(page->Frame->LabTotal->text(), QStringLiteral("-")) << "JPY has no rate";
    quote("14", "27", 150, 160);
    page->Frame->UpdateTotals();
    // JPY is quoted as USD/JPY too: divided by its buying price.
    EXPECT_EQ(page->Frame->LabCurr->text(), Formats::formatGrouped(1000 + 100 + 12345.6 / 150, 2));
    EXPECT_EQ(page->Frame->LabTotal->text(), Formats::formatGrouped(2000 + 200 + 20000 / 150.0, 2));
    const QModelIndex yen = page->Frame->Model->index(2, SubAccountModel::ColCashCurr);
    EXPECT_EQ(yen.data().toString(), QStringLiteral("12,346"));
}

TEST_F(MainWindowTest, AFailedRefreshKeepsTheRowsAndSaysSo)
{
    showWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows() == 3; }, kWaitMs));
    bank.failNext = true;
    page->Frame->BtnQuery->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.contains(QStringLiteral("交易失败！: ") + bank.failText)) << boxes.join('|').toStdString();
    EXPECT_EQ(CurrentAccount->SubAccounts.Count(), 3);
    EXPECT_EQ(rows(), 3);
    // The customer's own query is activity.
    EXPECT_EQ(Settings->LastRequestTick, 777u);
}

TEST_F(MainWindowTest, ABusySessionBlocksButtonsAndTimers)
{
    Settings->RefreshAcctItvl = 2;
    showWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows() == 3; }, kWaitMs));
    bank.busy = true;
    SessionBusy::Notify(true);
    EXPECT_FALSE(page->Frame->BtnQuery->isEnabled());
    EXPECT_FALSE(page->BtnUpdate->isEnabled());
    const int fetches = bank.calls.count(QStringLiteral("LoadSubAccounts"));
    const int ticks = window->Counts.acctTicks;
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Counts.acctTicks >= ticks + 2; }, kWaitMs));
    EXPECT_EQ(bank.calls.count(QStringLiteral("LoadSubAccounts")), fetches);
    EXPECT_GE(window->Counts.skippedBusy, 2);
    EXPECT_TRUE(window->TimerAcct->isActive());
    bank.busy = false;
    SessionBusy::Notify(false);
    EXPECT_TRUE(page->Frame->BtnQuery->isEnabled());
    EXPECT_TRUE(page->BtnUpdate->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return bank.calls.count(QStringLiteral("LoadSubAccounts")) > fetches; }, kWaitMs));
}

TEST_F(MainWindowTest, AutomaticRefreshesAreNotActivity)
{
    Settings->RefreshAcctItvl = 2;
    Settings->RefreshTransItvl = 3;
    Settings->LastRequestTick = 5;
    showWindow();
    Settings->LastRequestTick = 5;
    ASSERT_TRUE(QTest::qWaitFor([&] { return bank.calls.count(QStringLiteral("LoadSubAccounts")) >= 3; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Counts.transTicks >= 1; }, kWaitMs));
    EXPECT_EQ(Settings->LastRequestTick, 5u);
    EXPECT_TRUE(window->TimerTrans->isActive());
}

TEST_F(MainWindowTest, ATimerWhoseHandlerRaisesStillRestarts)
{
    Settings->RefreshNewsItvl = 2;
    int raised = 0;
    TMainfm::Ext().refreshNews = [&raised] {
        ++raised;
        throw std::runtime_error("news feed down");
    };
    showWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Counts.newsTicks >= 3; }, kWaitMs));
    EXPECT_GE(raised, 3);
    EXPECT_TRUE(window->TimerNews->isActive());
}

TEST_F(MainWindowTest, KeepAliveThenIdleExitAcrossTheTickWrap)
{
    Settings->ExitSysIdleTime = 600;
    Settings->LastRequestTick = 0xFFFFF000u;
    fakeNow = 0xFFFFF000u;
    bank.touchesRequestTick = false;
    showWindow();
    EXPECT_EQ(window->IdleExitStep, 0);
    fakeNow = 0xFFFFF000u + 360001u; // wrapped past zero
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Counts.keepAlives == 1; }, kWaitMs));
    EXPECT_EQ(bank.calls.last(), QStringLiteral("KeepAliveOrders"));
    EXPECT_EQ(terminations, 0);
    fakeNow = 0xFFFFF000u + 600001u;
    ASSERT_TRUE(QTest::qWaitFor([&] { return terminations == 1; }, kWaitMs));
    EXPECT_EQ(confirmations, 0) << "the idle exit asks nothing";
    EXPECT_EQ(deleted, QStringList{"U1001"}) << "data the customer did not keep is deleted";
    EXPECT_FALSE(QFileInfo::exists(userIni())) << "nothing else of the close runs";
    EXPECT_FALSE(window->PostTimer->isActive());
    // The window closes without asking.
    EXPECT_TRUE(window->close());
    EXPECT_EQ(confirmations, 0);
}

TEST_F(MainWindowTest, NeverMeansNever)
{
    Settings->ExitSysIdleTime = 0;
    Settings->LastRequestTick = 0;
    showWindow();
    EXPECT_EQ(window->IdleExitStep, -1);
    fakeNow = 0x7FFFFFFFu;
    const int ticks = window->Counts.postTicks;
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Counts.postTicks >= ticks + 3; }, kWaitMs));
    EXPECT_EQ(terminations, 0);
}

TEST_F(MainWindowTest, ExitConfirmationAndWhatIsSaved)
{
    IntList custom;
    custom.append(QStringLiteral("14/01"), 0);
    custom.append(QStringLiteral("12/14"), 1);
    Settings->CurrCustom = custom;
    showWindow();
    confirmAnswer = false;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(QFileInfo::exists(userIni()));
    EXPECT_TRUE(deleted.isEmpty());

    window->SelectPair(1, 14); // reveals the hidden 14/01
    confirmAnswer = true;
    EXPECT_TRUE(window->close());
    EXPECT_EQ(confirmations, 2);
    ASSERT_TRUE(QFileInfo::exists(userIni()));
    QStringList lines;
    TSettings::ReadIniSection(QStringLiteral("CurrCustom"), userIni(), lines);
    EXPECT_EQ(lines, (QStringList{"14/01=1", "12/14=1"}));
    EXPECT_EQ(deleted, QStringList{"U1001"});
}

TEST_F(MainWindowTest, AnIniThatCannotBeWrittenIsReported)
{
    showWindow();
    ASSERT_TRUE(QDir().mkpath(userIni())); // a folder where the file should go
    EXPECT_TRUE(window->close());
    EXPECT_EQ(boxes.filter(QStringLiteral("个人设置文件无法写入")).size(), 1) << boxes.join('|').toStdString();
}

TEST_F(MainWindowTest, OptionsDialog)
{
    showWindow();
    CurrentUser->TransPassword = QStringLiteral("secret");
    Settings->SaveDealPwd = false;
    Settings->ExitSysIdleTime = 1800;
    TNBSettingFm::Hooks hooks;
    hooks.setIdleExitStep = [this](int step) { window->SetIdleExitStep(step); };
    hooks.setSessionTransPassword = [this](const QString &p) { window->SetSessionTransPassword(p); };
    TNBSettingFm dlg(hooks, window);
    EXPECT_EQ(dlg.cbExitOnIdle->currentText(), QStringLiteral("30分钟后"));
    EXPECT_EQ(window->IdleExitStep, 0) << "the limit stays as it was until the dialog is confirmed";
    EXPECT_FALSE(dlg.edPwd->isVisible());
    dlg.cbExitOnIdle->setCurrentIndex(0);
    dlg.ckbSaveData->setChecked(true);
    dlg.BtnOk->click();
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    EXPECT_EQ(window->IdleExitStep, -1);
    EXPECT_EQ(Settings->ExitSysIdleTime, 0);
    EXPECT_TRUE(window->PostTimer->isActive());
    EXPECT_TRUE(CurrentUser->TransPassword.isEmpty());
    EXPECT_TRUE(window->SessionTransPassword().isEmpty());
    EXPECT_TRUE(Settings->SaveProfitData);
    EXPECT_EQ(TSettings::ReadIniString(QStringLiteral("Setting"), QStringLiteral("SaveProfitData"), userIni()),
              QStringLiteral("1"));
}

TEST_F(MainWindowTest, UpdateSubAccountsAndThePieChart)
{
    showWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows() == 3; }, kWaitMs));
    bank.calls.clear();
    page->BtnUpdate->click();
    EXPECT_EQ(bank.calls, (QStringList{"UpdateSubAccounts", "LoadSubAccounts"}));
    EXPECT_TRUE(boxes.filter(QStringLiteral("更新子账户信息完成！")).size() == 1);
    bank.failNext = true;
    page->BtnUpdate->click();
    EXPECT_TRUE(boxes.contains(QStringLiteral("交易失败！: ") + bank.failText));

    page->Frame->hooks.converted(QStringLiteral("美元"), {{QStringLiteral("12"), 5, 10}, {QStringLiteral("27"), 0, 0}});
    EXPECT_EQ(page->SliceLabels(), QStringList{"美元(英镑折算)"});
    // The next account notice empties the chart.
    window->Router->SendToMain(MsgAccountChanged, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(page->SliceCount(), 0);
}

TEST_F(MainWindowTest, StatementWindow)
{
    showWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows() == 3; }, kWaitMs));
    bank.statementLines = 5000;
    TAcctDetailfm dlg(*CurrentAccount->SubAccounts.Item(1), window);
    EXPECT_EQ(dlg.LabSubAcct->text(), QStringLiteral("子账户：美元 ") + DemandSaveType());
    EXPECT_FALSE(dlg.BtnPrint->isEnabled()) << "the print window does not exist yet";
    dlg.Query();
    EXPECT_EQ(dlg.Model->rowCount(), 5000);
    EXPECT_TRUE(dlg.isEnabled());
    bank.failNext = true;
    dlg.Query();
    EXPECT_EQ(dlg.Model->rowCount(), 0);
    EXPECT_TRUE(boxes.contains(QStringLiteral("查询失败！: ") + bank.failText));
    EXPECT_TRUE(dlg.isEnabled());
}

TEST_F(MainWindowTest, OtherAccounts)
{
    auto *other = CurrentUser->Accounts.Emplace(Settings, CurrentUser.get());
    other->AccountNo = QStringLiteral("0200001234567890");
    other->AccountType = QStringLiteral("03");
    TOtherAcctlistFm dlg;
    ASSERT_EQ(dlg.Model->rowCount(), 2);
    dlg.Grid->selectRow(1);
    dlg.BtnQuery->click();
    EXPECT_EQ(dlg.Model->index(1, OtherAccountModel::ColBalance).data().toString(), QStringLiteral("100.00"));
    EXPECT_EQ(dlg.Model->index(1, OtherAccountModel::ColUseBalance).data().toString(), QStringLiteral("0.00"));
    bank.failNext = true;
    dlg.BtnQuery->click();
    EXPECT_TRUE(boxes.contains(QStringLiteral("获取账户余额失败: ") + bank.failText));
    EXPECT_TRUE(dlg.BtnQuery->isEnabled());
}

TEST(ExitCheck, ButtonsAndTexts)
{
    TcheckcloseFm dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("退出确认"));
    EXPECT_TRUE(dlg.LabText->text().endsWith(QStringLiteral("决定是否保留您的个人信息以便下次使用。")));
    QTimer::singleShot(0, dlg.BtnExit, &QPushButton::click);
    EXPECT_EQ(dlg.exec(), int(QDialog::Accepted));
    QTimer::singleShot(0, &dlg, [&dlg] { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_EQ(dlg.exec(), int(QDialog::Rejected));
}

} // namespace

int main(int argc, char **argv)
{
    // Listing the tests runs without the test environment too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
