#pragma once
// The client's working window: tool bar, main menu, the page host with one
// page window at a time, the trade area, the custom quote list, the indices
// strip, the reminder panel, the session timers and the notification
// router.
//
// Page windows and dialogs built elsewhere plug in: pages with RegisterPage,
// dialogs and commands through Extensions. A command whose window does not
// exist yet is disabled.

#include "NotificationRouter.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QButtonGroup;
class QComboBox;
class QDateEdit;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTableView;
class QTextBrowser;
class QTimer;
class QToolBar;
class QToolButton;
class CustomQuoteModel;
class BankButtonGuard;
class TMainPage;
class TAccountFm;

class TMainfm : public QMainWindow
{
    Q_OBJECT
public:
    enum class PageId { Overview, Account, DealList, News, Market, Profit, Calendar, Count };

    // The bank bulletin found by the bulletin thread.
    struct TBulletin {
        QString Id;
        QString Title;
        QString Text;
    };

    // Windows and services other parts provide; each empty one leaves its
    // command disabled (or, for the services, does nothing).
    struct Extensions {
        std::function<bool(QWidget *parent)> chooseAccount;  // account choice, flag clear
        std::function<bool(QWidget *parent)> reLogin;        // RunLogin without the re-login flag
        std::function<bool(QWidget *parent)> confirmExit;    // default: TcheckcloseFm
        std::function<void()> terminate;                     // default: QCoreApplication::exit(0)
        std::function<void(const QString &userId)> deleteLocalRows; // local database rows
        std::function<void()> collectMarketLayouts;          // the market window's grids
        std::function<void()> refreshNews;                   // NewsList.Refresh
        std::function<void()> resetNews;                     // NewsList.Reset
        std::function<void(QWidget *, const QString &page)> openCalculatorPage;
        std::function<void(QWidget *)> showWorldClock;
        std::function<void(QWidget *)> showNumericCalculator;
        std::function<bool(QWidget *)> chooseCustomQuotes;  // true when a choice was made
        std::function<bool(QWidget *)> chooseIndices;
        std::function<void(QWidget *)> checkForUpdate;
        std::function<void(QWidget *, const TBulletin &)> showBulletin;
        std::function<void(const QString &codeA, const QString &codeB, int tradeType)> openTradePage;
        std::function<uint32_t()> tickCount; // default: TSettings::TickCount
    };
    static Extensions &Ext();

    explicit TMainfm(QWidget *parent = nullptr);
    ~TMainfm() override;

    // --- pages ---------------------------------------------------------------
    void RegisterPage(PageId id, QWidget *page);
    QWidget *Page(PageId id) const;
    static QString PageClassName(PageId id);
    // Shows a page; false when it does not exist. Errors are swallowed.
    bool ShowPage(PageId id, int type = 0);
    // The tour: the class names of the pages that exist, and showing one by
    // its class name (case ignored).
    QStringList PageNames() const;
    bool ShowPageByName(const QString &className, int type = 0);

    // Registers the account page and connects its frame to the window: its
    // "查询" refreshes through the router, its title shows the overview, a
    // right-click on a sub-account opens the pair menu.
    void AttachAccountPage(TAccountFm *page);
    // The pair menu at the mouse: Strcurr takes codeB as caption and codeA
    // as hint.
    void ShowPairMenu(const QString &codeA, const QString &codeB, const QPoint &globalPos);

    // --- operations ------------------------------------------------------------
    void ApplyAccount();
    void ApplyBranchCapabilities();
    void SelectTransPage();
    void SelectPair(int codeA, int codeB);
    void SetSessionTransPassword(const QString &text);
    QString SessionTransPassword() const { return m_sessionPassword; }
    void SetBulletin(const TBulletin &bulletin);
    void ShowHelp(const QString &topic);
    void RefreshCustomQuotes();
    // The account choice applied an account: fetch its sub-accounts now when
    // the window is showing (at start-up the first show fetches them).
    void AccountChosen();
    // Gathers the quote layouts into the settings (at exit, when SaveIni).
    void CollectLayouts();
    // The idle exit: the local data the customer asked not to keep is
    // deleted, nothing else of the close runs, the application terminates.
    void IdleExit();
    // The options dialog's "确定" step 3.
    void SetIdleExitStep(int step);
    void ToggleTradeArea();
    void ToggleTransCollapsed();
    void TradeCommand(int type); // F2–F4
    void CancelCommand();        // F5
    void ShowOptions();
    void ShowAbout();
    void BuildStrip();
    void StripTick();

    NotificationRouter *Router = nullptr;

    // --- window state ------------------------------------------------------------
    QWidget *CurrentPage = nullptr;
    int TransAreaExtra = 0;
    bool TransCollapsed = false;
    int StripOffset = 0;
    bool StripPlaying = false;
    TBulletin Bulletin;
    int IdleExitStep = 0;
    QTextBrowser *HintBrowser = nullptr;
    QPixmap StripPicture;
    bool FirstShown() const { return m_firstShown; }
    bool IdleExiting() const { return m_idleExiting; }

    // --- components ----------------------------------------------------------------
    QToolBar *RzToolbar = nullptr;
    QToolButton *tbColl = nullptr, *tbAcct = nullptr, *tbTrans = nullptr, *tbBankMarket = nullptr,
                *tbInfo = nullptr, *tbProfit = nullptr, *TbBulletin = nullptr, *tbExit = nullptr,
                *tbCalendar = nullptr;
    QAction *mnuColl = nullptr, *mnuAcct = nullptr, *mnuTrans = nullptr, *mnuToggleTrans = nullptr,
            *mnuToggleIndices = nullptr, *mnuChooseAcct = nullptr, *mnuReLogin = nullptr, *mnuExit = nullptr;
    QAction *mnuJSTrans = nullptr, *mnuHangTrans = nullptr, *mnuAddTrans = nullptr, *mnuCancel = nullptr;
    QAction *mnuChart = nullptr, *mnuBankMarket = nullptr, *mnuIntlMarket = nullptr, *mnuIndexMarket = nullptr,
            *mnuInfo = nullptr, *mnuQuotePrice = nullptr, *mnuSaveRate = nullptr, *mnuWorldClock = nullptr,
            *mnuCustomQuote = nullptr;
    QAction *mnuProfit = nullptr, *mnuHold = nullptr, *mnuCalendar = nullptr, *mnuCalcSaving = nullptr,
            *mnuCalcExRate = nullptr, *mnuCalcLoan = nullptr, *mnuCalculator = nullptr;
    QAction *mnuOptions = nullptr, *mnuUpgrade = nullptr, *mnuBulletin = nullptr;
    QAction *mnuHelp = nullptr, *mnuAbout = nullptr;

    QWidget *PnlClient = nullptr;
    QStackedWidget *PageHost = nullptr;
    QWidget *pnlCustomIndices = nullptr;
    QWidget *PnlZS = nullptr;
    QToolButton *BtnCustomZS = nullptr, *BtnViewZS = nullptr, *btnPlay = nullptr;
    QWidget *PnlRemind = nullptr, *PnlRemindTitle = nullptr, *RzPanel5 = nullptr;
    QLabel *LabRemind = nullptr, *LabShowBulletin = nullptr;
    QPushButton *BtnHideInfo = nullptr, *BtnWarningExit = nullptr;
    QWidget *pnlTransArea = nullptr;
    QTabWidget *pgcDoTrans = nullptr;
    QWidget *TabSheet3 = nullptr, *TabSheet4 = nullptr;
    QComboBox *CbTransType = nullptr;
    QWidget *pnlFix = nullptr;
    QRadioButton *rdbHuoqi = nullptr, *rdbDingqi = nullptr;
    QStackedWidget *Notebook1 = nullptr;
    QDateEdit *edtBeginDate = nullptr, *edtEndDate = nullptr;
    QWidget *FrmDeleCancel = nullptr;
    QWidget *pnlCustomMarket = nullptr;
    QPushButton *BtnCustom = nullptr;
    QToolButton *btnToggleTrans = nullptr;
    QTableView *tlCustomBankMarket = nullptr;
    CustomQuoteModel *CustomQuotes = nullptr;
    QWidget *pnlShowHideTrans = nullptr;
    QToolButton *ShapeBtn = nullptr;
    QMenu *PopupMenu = nullptr;
    QAction *N1 = nullptr, *N2 = nullptr, *N3 = nullptr, *N4 = nullptr, *Strcurr = nullptr;
    QMenu *PopDesc = nullptr;
    QAction *miDesc = nullptr;

    QTimer *TimerAcct = nullptr, *TimerTrans = nullptr, *TimerNews = nullptr, *PostTimer = nullptr,
           *TimerClock = nullptr, *ZhiShuTimer = nullptr;

    // How often each timer's handler ran, and how often it skipped because
    // a bank transaction was waiting (diagnostics and tests).
    struct TimerCounts {
        int acctTicks = 0, transTicks = 0, newsTicks = 0, postTicks = 0;
        int skippedBusy = 0;
        int keepAlives = 0;
    };
    TimerCounts Counts;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenu();
    void buildToolbar();
    void buildCentral();
    void buildTradeArea(QWidget *parent);
    void buildReminder(QWidget *parent);
    void buildIndices(QWidget *parent);
    void connectTimers();
    void updateCommands();
    void applyColors();
    void setTimers();
    void refreshAccountFromBank();
    void onRefreshTimer(QTimer *timer, int message, int *counter);
    void onPostTimer();
    void onClock();
    void chooseAccountFromMenu();
    void reLoginFromMenu();
    void setRemindVisible(bool visible);
    void loadHintPage(const QString &className);
    void showBulletinDialog();
    uint32_t now() const;
    bool fromCdBlocked();
    void openDefaultPage();

    std::array<QPointer<QWidget>, size_t(PageId::Count)> m_pages;
    BankButtonGuard *m_guard = nullptr;
    QString m_sessionPassword;
    bool m_firstShown = false;
    bool m_applied = false;
    bool m_idleExiting = false;
    bool m_closing = false;
    bool m_refreshingAccount = false;
    bool m_refreshingQuotes = false;
    bool m_timerAcctOn = false, m_timerTransOn = false, m_timerNewsOn = false, m_postTimerOn = false;
    int m_transType = 0;
    QTimer *m_marquee = nullptr;
    int m_marqueeOffset = 0;
    QString m_marqueeText;
};
