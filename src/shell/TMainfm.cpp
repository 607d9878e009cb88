#include "TMainfm.h"

#include "AccountRefresh.h"
#include "BankButtonGuard.h"
#include "CustomQuoteModel.h"
#include "MainTimings.h"
#include "MainWindowLogic.h"
#include "ModelOps.h"
#include "QuoteLayouts.h"
#include "SessionBank.h"
#include "SessionKeeper.h"
#include "SharedInstances.h"
#include "Startup.h"
#include "TAccount.h"
#include "TBranchBankController.h"
#include "TCurrencyList.h"
#include "TForexNews.h"
#include "TMainPage.h"
#include "TMarketList.h"
#include "TNBSettingFm.h"
#include "TAboutForm.h"
#include "TAccountFm.h"
#include "TCurrency.h"
#include "TFrameAcct.h"
#include "TSettings.h"
#include "TUser.h"
#include "TcheckcloseFm.h"
#include "platform/Formats.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramDir.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMutexLocker>
#include <QPainter>
#include <QProcess>
#include <QDateTime>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The indices strip: the strip picture drawn at the window's StripOffset.
class StripWidget : public QWidget
{
public:
    explicit StripWidget(TMainfm *owner, QWidget *parent) : QWidget(parent), m_owner(owner)
    {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(0, 0x40, 0));
        setPalette(p);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0, 0x40, 0));
        if (!m_owner->StripPicture.isNull())
            painter.drawPixmap(m_owner->StripOffset, (height() - m_owner->StripPicture.height()) / 2,
                               m_owner->StripPicture);
    }

private:
    TMainfm *m_owner;
};

// A timer that restarts when this ends, whatever happened in between,
// unless the window turned it off meanwhile.
class RestartTimer
{
public:
    RestartTimer(QTimer *timer, const bool *on) : m_timer(timer), m_on(on) {}
    ~RestartTimer()
    {
        if (*m_on)
            m_timer->start();
    }

private:
    QTimer *m_timer;
    const bool *m_on;
};

QToolButton *toolButton(QToolBar *bar, const QString &name, const QString &text, QStyle::StandardPixmap icon)
{
    auto *b = new QToolButton(bar);
    b->setObjectName(name);
    b->setText(text);
    b->setIcon(bar->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setMinimumSize(60, 40);
    bar->addWidget(b);
    return b;
}

QAction *menuItem(QMenu *menu, const QString &name, const QString &text, const QKeySequence &key = {})
{
    QAction *a = menu->addAction(text);
    a->setObjectName(name);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    return a;
}

PageTarget targetOf(TMainfm::PageId id)
{
    switch (id) {
    case TMainfm::PageId::Overview: return PageTarget::Overview;
    case TMainfm::PageId::Account: return PageTarget::Account;
    case TMainfm::PageId::DealList: return PageTarget::DealList;
    case TMainfm::PageId::News: return PageTarget::News;
    case TMainfm::PageId::Market: return PageTarget::Market;
    default: return PageTarget::Count;
    }
}

const char *const kCalcQuotePrice = "FinanceCalculator\\html\\InfoQuotePrice.htm";
const char *const kCalcSaveRate = "FinanceCalculator\\html\\InfoForeignSaveRate.htm";
const char *const kCalcSaving = "FinanceCalculator\\html\\CalcForeSaving.htm";
const char *const kCalcExRate = "FinanceCalculator\\html\\CalcExRate.htm";
const char *const kCalcLoan = "FinanceCalculator\\html\\CalcLoan.htm";

} // namespace

TMainfm::Extensions &TMainfm::Ext()
{
    static Extensions ext;
    return ext;
}

QString TMainfm::PageClassName(PageId id)
{
    static const char *const names[] = {"TCollFm", "TAccountFm", "TDevolveFm", "TjhInfoFm",
                                        "Tmarketfm", "TProfitFm", "TCalendarFm"};
    return id < PageId::Count ? QString::fromLatin1(names[int(id)]) : QString();
}

TMainfm::TMainfm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TMainfm"));
    setWindowTitle(kProductTitle);
    Router = new NotificationRouter(this);
    Router->hooks.refreshAccount = [this] { refreshAccountFromBank(); };
    Router->hooks.refreshNews = [] {
        if (Ext().refreshNews)
            Ext().refreshNews();
    };
    m_guard = new BankButtonGuard(this);

    buildMenu();
    buildToolbar();
    buildCentral();
    connectTimers();
    updateCommands();
    resize(1024, 720);
}

TMainfm::~TMainfm() = default;

uint32_t TMainfm::now() const
{
    return Ext().tickCount ? Ext().tickCount() : TSettings::TickCount();
}

// --- building ------------------------------------------------------------------

void TMainfm::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("dxBarManager"));
    QMenu *acct = bar->addMenu(QStringLiteral("账户管理(&A)"));
    mnuColl = menuItem(acct, QStringLiteral("mnuColl"), QStringLiteral("综合"), Qt::Key_Home);
    mnuAcct = menuItem(acct, QStringLiteral("mnuAcct"), QStringLiteral("账户信息"), Qt::Key_F6);
    mnuTrans = menuItem(acct, QStringLiteral("mnuTrans"), QStringLiteral("交易明细"), Qt::Key_F7);
    mnuToggleTrans = menuItem(acct, QStringLiteral("mnuToggleTrans"), QStringLiteral("显示/隐藏交易"), Qt::Key_Insert);
    mnuToggleIndices = menuItem(acct, QStringLiteral("mnuToggleIndices"), QStringLiteral("显示/隐藏指数"));
    acct->addSeparator();
    mnuChooseAcct = menuItem(acct, QStringLiteral("mnuChooseAcct"), QStringLiteral("选择账户"));
    mnuReLogin = menuItem(acct, QStringLiteral("mnuReLogin"), QStringLiteral("重新登录"));
    mnuReLogin->setVisible(false);
    mnuExit = menuItem(acct, QStringLiteral("mnuExit"), QStringLiteral("退出程序"), Qt::Key_Escape);

    QMenu *trade = bar->addMenu(QStringLiteral("外汇交易(&B)"));
    mnuJSTrans = menuItem(trade, QStringLiteral("mnuJSTrans"), QStringLiteral("实时交易"), Qt::Key_F2);
    mnuHangTrans = menuItem(trade, QStringLiteral("mnuHangTrans"), QStringLiteral("获利/止损/双向委托"), Qt::Key_F3);
    mnuAddTrans = menuItem(trade, QStringLiteral("mnuAddTrans"), QStringLiteral("追加挂单"), Qt::Key_F4);
    mnuCancel = menuItem(trade, QStringLiteral("mnuCancel"), QStringLiteral("委托撤单"), Qt::Key_F5);

    QMenu *quotes = bar->addMenu(QStringLiteral("行情资讯(&Q)"));
    mnuChart = menuItem(quotes, QStringLiteral("mnuChart"), QStringLiteral("行情图表"), Qt::Key_F8);
    mnuBankMarket = menuItem(quotes, QStringLiteral("mnuBankMarket"), QStringLiteral("银行报价"), Qt::Key_F9);
    mnuBankMarket->setVisible(false);
    mnuIntlMarket = menuItem(quotes, QStringLiteral("mnuIntlMarket"), QStringLiteral("国际行情"), Qt::Key_F10);
    mnuIndexMarket = menuItem(quotes, QStringLiteral("mnuIndexMarket"), QStringLiteral("行情指数"),
                              QKeySequence(Qt::CTRL | Qt::Key_I));
    mnuInfo = menuItem(quotes, QStringLiteral("mnuInfo"), QStringLiteral("外汇资讯"), Qt::Key_F11);
    mnuQuotePrice = menuItem(quotes, QStringLiteral("mnuQuotePrice"), QStringLiteral("外汇牌价"),
                             QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuQuotePrice->setVisible(false);
    mnuSaveRate = menuItem(quotes, QStringLiteral("mnuSaveRate"), QStringLiteral("外币储蓄利率"),
                           QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuWorldClock = menuItem(quotes, QStringLiteral("mnuWorldClock"), QStringLiteral("世界时钟"),
                             QKeySequence(Qt::CTRL | Qt::Key_K));
    mnuCustomQuote = menuItem(quotes, QStringLiteral("mnuCustomQuote"), QStringLiteral("自定义实时行情"),
                              QKeySequence(Qt::CTRL | Qt::Key_M));

    QMenu *finance = bar->addMenu(QStringLiteral("外汇理财(&F)"));
    mnuProfit = menuItem(finance, QStringLiteral("mnuProfit"), QStringLiteral("盈亏分析"));
    mnuHold = menuItem(finance, QStringLiteral("mnuHold"), QStringLiteral("持仓分析"));
    mnuCalendar = menuItem(finance, QStringLiteral("mnuCalendar"), QStringLiteral("财务日历"));
    mnuCalcSaving = menuItem(finance, QStringLiteral("mnuCalcSaving"), QStringLiteral("外币储蓄计算器"),
                             QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuCalcExRate = menuItem(finance, QStringLiteral("mnuCalcExRate"), QStringLiteral("外币兑换计算器"),
                             QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuCalcLoan = menuItem(finance, QStringLiteral("mnuCalcLoan"), QStringLiteral("贷款计算器"),
                           QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuCalculator = menuItem(finance, QStringLiteral("mnuCalculator"), QStringLiteral("数字计算器"),
                             QKeySequence(Qt::CTRL | Qt::Key_C));

    QMenu *system = bar->addMenu(QStringLiteral("系统"));
    mnuOptions = menuItem(system, QStringLiteral("mnuOptions"), QStringLiteral("选项设置"));
    mnuUpgrade = menuItem(system, QStringLiteral("mnuUpgrade"), QStringLiteral("智能升级"));
    mnuBulletin = menuItem(system, QStringLiteral("mnuBulletin"), QStringLiteral("查看公告"));

    QMenu *help = bar->addMenu(QStringLiteral("帮助(&H)"));
    mnuHelp = menuItem(help, QStringLiteral("mnuHelp"), QStringLiteral("帮助"), Qt::Key_F1);
    mnuAbout = menuItem(help, QStringLiteral("mnuAbout"), QStringLiteral("关于"));

    connect(mnuColl, &QAction::triggered, this, [this] { ShowPage(PageId::Overview); });
    connect(mnuAcct, &QAction::triggered, this, [this] { ShowPage(PageId::Account); });
    connect(mnuTrans, &QAction::triggered, this, [this] { ShowPage(PageId::DealList); });
    connect(mnuToggleTrans, &QAction::triggered, this, &TMainfm::ToggleTradeArea);
    connect(mnuToggleIndices, &QAction::triggered, this, [this] {
        pnlCustomIndices->setFixedHeight(pnlCustomIndices->height() > 0 ? 0 : 29);
    });
    connect(mnuChooseAcct, &QAction::triggered, this, &TMainfm::chooseAccountFromMenu);
    connect(mnuReLogin, &QAction::triggered, this, &TMainfm::reLoginFromMenu);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuJSTrans, &QAction::triggered, this, [this] { TradeCommand(0); });
    connect(mnuHangTrans, &QAction::triggered, this, [this] { TradeCommand(1); });
    connect(mnuAddTrans, &QAction::triggered, this, [this] { TradeCommand(2); });
    connect(mnuCancel, &QAction::triggered, this, &TMainfm::CancelCommand);
    connect(mnuChart, &QAction::triggered, this, [this] {
        const auto c = CurrentBranchController();
        const int mode = c ? c->ChartMode : 1;
        if (mode == MainWindowLogic::kChartNone)
            return;
        if (mode == MainWindowLogic::kChartPlugin) {
            const QString exe = programFile(QStringLiteral("plugin\\SStar\\ss.exe"));
            if (QFileInfo::exists(exe))
                QProcess::startDetached(exe, {MainWindowLogic::PluginParameter(QDateTime::currentDateTime())});
            return;
        }
        ShowPage(PageId::Market, 0);
    });
    connect(mnuBankMarket, &QAction::triggered, this, [this] { ShowPage(PageId::Market, 1); });
    connect(mnuIntlMarket, &QAction::triggered, this, [this] { ShowPage(PageId::Market, 2); });
    connect(mnuIndexMarket, &QAction::triggered, this, [this] { ShowPage(PageId::Market, 3); });
    connect(mnuInfo, &QAction::triggered, this, [this] { ShowPage(PageId::News); });
    auto calculator = [this](const char *page) {
        return [this, page] {
            if (Ext().openCalculatorPage)
                Ext().openCalculatorPage(this, QString::fromLatin1(page));
        };
    };
    connect(mnuQuotePrice, &QAction::triggered, this, calculator(kCalcQuotePrice));
    connect(mnuSaveRate, &QAction::triggered, this, calculator(kCalcSaveRate));
    connect(mnuCalcSaving, &QAction::triggered, this, calculator(kCalcSaving));
    connect(mnuCalcExRate, &QAction::triggered, this, calculator(kCalcExRate));
    connect(mnuCalcLoan, &QAction::triggered, this, calculator(kCalcLoan));
    connect(mnuWorldClock, &QAction::triggered, this, [this] {
        if (Ext().showWorldClock)
            Ext().showWorldClock(this);
    });
    connect(mnuCalculator, &QAction::triggered, this, [this] {
        if (Ext().showNumericCalculator)
            Ext().showNumericCalculator(this);
    });
    connect(mnuCustomQuote, &QAction::triggered, this, [this] {
        if (Ext().chooseCustomQuotes && Ext().chooseCustomQuotes(this)) {
            CustomQuotes->clear();
            RefreshCustomQuotes();
        }
    });
    connect(mnuProfit, &QAction::triggered, this, [this] {
        if (!fromCdBlocked())
            ShowPage(PageId::Profit, 0);
    });
    connect(mnuHold, &QAction::triggered, this, [this] {
        if (!fromCdBlocked())
            ShowPage(PageId::Profit, 1);
    });
    connect(mnuCalendar, &QAction::triggered, this, [this] {
        if (!fromCdBlocked())
            ShowPage(PageId::Calendar);
    });
    connect(mnuOptions, &QAction::triggered, this, &TMainfm::ShowOptions);
    connect(mnuUpgrade, &QAction::triggered, this, [this] {
        if (!fromCdBlocked() && Ext().checkForUpdate)
            Ext().checkForUpdate(this);
    });
    connect(mnuBulletin, &QAction::triggered, this, &TMainfm::showBulletinDialog);
    connect(mnuHelp, &QAction::triggered, this, [this] { ShowHelp(QStringLiteral("1gs")); });
    connect(mnuAbout, &QAction::triggered, this, &TMainfm::ShowAbout);
}

void TMainfm::buildToolbar()
{
    RzToolbar = new QToolBar(this);
    RzToolbar->setObjectName(QStringLiteral("RzToolbar"));
    RzToolbar->setMovable(false);
    RzToolbar->setFloatable(false);
    RzToolbar->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, RzToolbar);
    tbColl = toolButton(RzToolbar, QStringLiteral("tbColl"), QStringLiteral("综合(Home)"), QStyle::SP_DirHomeIcon);
    tbAcct = toolButton(RzToolbar, QStringLiteral("tbAcct"), QStringLiteral("账户信息(F6)"), QStyle::SP_FileDialogDetailedView);
    tbTrans = toolButton(RzToolbar, QStringLiteral("tbTrans"), QStringLiteral("交易明细(F7)"), QStyle::SP_FileDialogListView);
    tbBankMarket = toolButton(RzToolbar, QStringLiteral("tbBankMarket"), QStringLiteral("银行报价(F9)"), QStyle::SP_ComputerIcon);
    tbInfo = toolButton(RzToolbar, QStringLiteral("tbInfo"), QStringLiteral("外汇资讯(F11)"), QStyle::SP_FileDialogInfoView);
    tbProfit = toolButton(RzToolbar, QStringLiteral("tbProfit"), QStringLiteral("盈亏分析"), QStyle::SP_FileDialogContentsView);
    TbBulletin = toolButton(RzToolbar, QStringLiteral("TbBulletin"), QStringLiteral("银行公告"), QStyle::SP_MessageBoxInformation);
    tbExit = toolButton(RzToolbar, QStringLiteral("tbExit"), QStringLiteral("退出(ESC)"), QStyle::SP_DialogCloseButton);
    tbCalendar = toolButton(RzToolbar, QStringLiteral("tbCalendar"), QStringLiteral("财务日历"), QStyle::SP_FileDialogStart);
    // A hidden tool button is hidden through its tool-bar action.
    for (QToolButton *hidden : {tbBankMarket, tbCalendar})
        for (QAction *a : RzToolbar->actions())
            if (RzToolbar->widgetForAction(a) == hidden)
                a->setVisible(false);
    connect(tbColl, &QToolButton::clicked, mnuColl, &QAction::trigger);
    connect(tbAcct, &QToolButton::clicked, mnuAcct, &QAction::trigger);
    connect(tbTrans, &QToolButton::clicked, mnuTrans, &QAction::trigger);
    connect(tbBankMarket, &QToolButton::clicked, this, [this] { ShowPage(PageId::Market, 1); });
    connect(tbInfo, &QToolButton::clicked, mnuInfo, &QAction::trigger);
    connect(tbProfit, &QToolButton::clicked, mnuProfit, &QAction::trigger);
    connect(TbBulletin, &QToolButton::clicked, this, &TMainfm::showBulletinDialog);
    connect(tbExit, &QToolButton::clicked, this, &QWidget::close);
    connect(tbCalendar, &QToolButton::clicked, mnuCalendar, &QAction::trigger);
}

void TMainfm::buildIndices(QWidget *parent)
{
    pnlCustomIndices = new QWidget(parent);
    pnlCustomIndices->setObjectName(QStringLiteral("pnlCustomIndices"));
    pnlCustomIndices->setFixedHeight(29);
    auto *row = new QHBoxLayout(pnlCustomIndices);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    PnlZS = new StripWidget(this, pnlCustomIndices);
    PnlZS->setObjectName(QStringLiteral("PnlZS"));
    row->addWidget(PnlZS, 1);
    BtnCustomZS = new QToolButton(pnlCustomIndices);
    BtnCustomZS->setObjectName(QStringLiteral("BtnCustomZS"));
    BtnCustomZS->setText(QStringLiteral("设"));
    BtnCustomZS->setToolTip(QStringLiteral("设置"));
    BtnViewZS = new QToolButton(pnlCustomIndices);
    BtnViewZS->setObjectName(QStringLiteral("BtnViewZS"));
    BtnViewZS->setText(QStringLiteral("全"));
    BtnViewZS->setToolTip(QStringLiteral("查看全部"));
    btnPlay = new QToolButton(pnlCustomIndices);
    btnPlay->setObjectName(QStringLiteral("btnPlay"));
    btnPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
    btnPlay->setToolTip(QStringLiteral("停止"));
    row->addWidget(BtnCustomZS);
    row->addWidget(BtnViewZS);
    row->addWidget(btnPlay);
    connect(btnPlay, &QToolButton::clicked, this, [this] {
        StripPlaying = !StripPlaying;
        btnPlay->setToolTip(StripPlaying ? QStringLiteral("停止") : QStringLiteral("播放"));
        btnPlay->setIcon(style()->standardIcon(StripPlaying ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
        if (StripPlaying)
            ZhiShuTimer->start();
        else
            ZhiShuTimer->stop();
    });
    connect(BtnViewZS, &QToolButton::clicked, this, [this] { ShowPage(PageId::Market, 3); });
    connect(BtnCustomZS, &QToolButton::clicked, this, [this] {
        if (Ext().chooseIndices && Ext().chooseIndices(this)) {
            BuildStrip();
            StripOffset = PnlZS->width();
            StripPlaying = true;
            ZhiShuTimer->start();
        }
    });
}

void TMainfm::buildTradeArea(QWidget *parent)
{
    pnlTransArea = new QWidget(parent);
    pnlTransArea->setObjectName(QStringLiteral("pnlTransArea"));
    pnlTransArea->setAttribute(Qt::WA_StyledBackground);
    pnlTransArea->setFixedWidth(300);
    auto *col = new QVBoxLayout(pnlTransArea);
    col->setContentsMargins(2, 2, 2, 2);
    col->setSpacing(2);

    pgcDoTrans = new QTabWidget(pnlTransArea);
    pgcDoTrans->setObjectName(QStringLiteral("pgcDoTrans"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    auto *t3 = new QVBoxLayout(TabSheet3);
    t3->setContentsMargins(2, 2, 2, 2);
    CbTransType = new QComboBox(TabSheet3);
    CbTransType->setObjectName(QStringLiteral("CbTransType"));
    CbTransType->addItems({QStringLiteral("实时交易"), QStringLiteral("委托挂单"), QStringLiteral("追加挂单")});
    t3->addWidget(CbTransType);
    pnlFix = new QWidget(TabSheet3);
    pnlFix->setObjectName(QStringLiteral("pnlFix"));
    auto *fix = new QHBoxLayout(pnlFix);
    fix->setContentsMargins(0, 0, 0, 0);
    rdbHuoqi = new QRadioButton(QStringLiteral("活期"), pnlFix);
    rdbHuoqi->setObjectName(QStringLiteral("rdbHuoqi"));
    rdbDingqi = new QRadioButton(QStringLiteral("定期"), pnlFix);
    rdbDingqi->setObjectName(QStringLiteral("rdbDingqi"));
    rdbHuoqi->setChecked(true);
    fix->addWidget(rdbHuoqi);
    fix->addWidget(rdbDingqi);
    pnlFix->setVisible(false);
    t3->addWidget(pnlFix);
    Notebook1 = new QStackedWidget(TabSheet3);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    // The trade pages are placed on these notebook pages when they exist.
    for (const char *name : {"jsTrans", "HangTrans", "OppTrans", "jsTransDQ", "HangTransDQ", "OppTransDQ"}) {
        auto *page = new QWidget(Notebook1);
        page->setObjectName(QString::fromLatin1(name));
        new QVBoxLayout(page);
        Notebook1->addWidget(page);
    }
    t3->addWidget(Notebook1, 1);
    pgcDoTrans->addTab(TabSheet3, QStringLiteral("外汇交易"));

    TabSheet4 = new QWidget;
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    auto *t4 = new QVBoxLayout(TabSheet4);
    t4->setContentsMargins(2, 2, 2, 2);
    auto *dates = new QHBoxLayout;
    edtBeginDate = new QDateEdit(TabSheet4);
    edtBeginDate->setObjectName(QStringLiteral("edtBeginDate"));
    edtEndDate = new QDateEdit(TabSheet4);
    edtEndDate->setObjectName(QStringLiteral("edtEndDate"));
    for (QDateEdit *e : {edtBeginDate, edtEndDate}) {
        e->setDisplayFormat(QString::fromLatin1(Formats::kDateFormat));
        e->setCalendarPopup(true);
    }
    dates->addWidget(new QLabel(QStringLiteral("开始日期"), TabSheet4));
    dates->addWidget(edtBeginDate);
    t4->addLayout(dates);
    auto *dates2 = new QHBoxLayout;
    dates2->addWidget(new QLabel(QStringLiteral("结束日期"), TabSheet4));
    dates2->addWidget(edtEndDate);
    t4->addLayout(dates2);
    FrmDeleCancel = new QWidget(TabSheet4);
    FrmDeleCancel->setObjectName(QStringLiteral("FrmDeleCancel"));
    new QVBoxLayout(FrmDeleCancel);
    t4->addWidget(FrmDeleCancel, 1);
    pgcDoTrans->addTab(TabSheet4, QStringLiteral("委托撤单"));
    col->addWidget(pgcDoTrans);

    pnlCustomMarket = new QWidget(pnlTransArea);
    pnlCustomMarket->setObjectName(QStringLiteral("pnlCustomMarket"));
    auto *cm = new QVBoxLayout(pnlCustomMarket);
    cm->setContentsMargins(0, 0, 0, 0);
    auto *cmBar = new QHBoxLayout;
    BtnCustom = new QPushButton(QStringLiteral("自定义实时行情"), pnlCustomMarket);
    BtnCustom->setObjectName(QStringLiteral("BtnCustom"));
    btnToggleTrans = new QToolButton(pnlCustomMarket);
    btnToggleTrans->setObjectName(QStringLiteral("btnToggleTrans"));
    btnToggleTrans->setArrowType(Qt::UpArrow);
    btnToggleTrans->setToolTip(QStringLiteral("隐藏交易区"));
    cmBar->addWidget(BtnCustom, 1);
    cmBar->addWidget(btnToggleTrans);
    cm->addLayout(cmBar);
    CustomQuotes = new CustomQuoteModel(this);
    tlCustomBankMarket = new QTableView(pnlCustomMarket);
    tlCustomBankMarket->setObjectName(QStringLiteral("tlCustomBankMarket"));
    tlCustomBankMarket->setModel(CustomQuotes);
    tlCustomBankMarket->setSelectionBehavior(QAbstractItemView::SelectRows);
    tlCustomBankMarket->setSelectionMode(QAbstractItemView::SingleSelection);
    tlCustomBankMarket->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tlCustomBankMarket->setContextMenuPolicy(Qt::CustomContextMenu);
    tlCustomBankMarket->verticalHeader()->hide();
    tlCustomBankMarket->verticalHeader()->setDefaultSectionSize(20);
    tlCustomBankMarket->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tlCustomBankMarket->horizontalHeader()->setSectionResizeMode(CustomQuoteModel::ColUpDown,
                                                                QHeaderView::ResizeToContents);
    cm->addWidget(tlCustomBankMarket, 1);
    col->addWidget(pnlCustomMarket, 100);
    // Without the custom quote list the trade tabs stay at the top.
    col->addStretch(1);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    N1 = PopupMenu->addAction(QStringLiteral("实时交易"));
    N1->setObjectName(QStringLiteral("N1"));
    N1->setData(QStringLiteral("001"));
    N2 = PopupMenu->addAction(QStringLiteral("委托"));
    N2->setObjectName(QStringLiteral("N2"));
    N2->setData(QStringLiteral("002"));
    N3 = PopupMenu->addAction(QStringLiteral("一对多挂单"));
    N3->setObjectName(QStringLiteral("N3"));
    N3->setEnabled(false);
    N4 = PopupMenu->addAction(QStringLiteral("定期外汇交易"));
    N4->setObjectName(QStringLiteral("N4"));
    N4->setEnabled(false);
    Strcurr = PopupMenu->addAction(QString());
    Strcurr->setObjectName(QStringLiteral("Strcurr"));
    Strcurr->setVisible(false);
    auto openTrade = [this](int type) {
        if (!Settings || !Settings->UseCert || !Ext().openTradePage)
            return;
        // Strcurr: caption = second code, hint = first code.
        Ext().openTradePage(Strcurr->toolTip(), Strcurr->text(), type);
    };
    connect(N1, &QAction::triggered, this, [openTrade] { openTrade(0); });
    connect(N2, &QAction::triggered, this, [openTrade] { openTrade(1); });

    connect(CbTransType, &QComboBox::currentIndexChanged, this, [this](int i) {
        m_transType = i < 0 ? 0 : i;
        SelectTransPage();
    });
    connect(rdbHuoqi, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SelectTransPage();
    });
    connect(rdbDingqi, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SelectTransPage();
    });
    connect(pgcDoTrans, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0)
            SelectTransPage();
        else
            pgcDoTrans->setFixedHeight(TransAreaExtra + MainWindowLogic::kCancelTabHeight);
    });
    connect(btnToggleTrans, &QToolButton::clicked, this, &TMainfm::ToggleTransCollapsed);
    connect(BtnCustom, &QPushButton::clicked, mnuCustomQuote, &QAction::trigger);
    connect(tlCustomBankMarket, &QTableView::doubleClicked, this, [this](const QModelIndex &) {
        const auto c = CurrentBranchController();
        if (c && (c->ChartMode == MainWindowLogic::kChartPlugin || c->ChartMode == MainWindowLogic::kChartNone))
            return;
        ShowPage(PageId::Market, 0);
    });
    connect(tlCustomBankMarket, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex index = tlCustomBankMarket->indexAt(pos);
        if (!index.isValid())
            return;
        const auto &q = CustomQuotes->quoteAt(index.row());
        ShowPairMenu(q.code1, q.code2, tlCustomBankMarket->viewport()->mapToGlobal(pos));
    });
}

void TMainfm::buildReminder(QWidget *parent)
{
    PnlRemind = new QWidget(parent);
    PnlRemind->setObjectName(QStringLiteral("PnlRemind"));
    auto *col = new QVBoxLayout(PnlRemind);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    PnlRemindTitle = new QWidget(PnlRemind);
    PnlRemindTitle->setObjectName(QStringLiteral("PnlRemindTitle"));
    PnlRemindTitle->setAttribute(Qt::WA_StyledBackground);
    PnlRemindTitle->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *title = new QHBoxLayout(PnlRemindTitle);
    title->setContentsMargins(6, 2, 6, 2);
    LabRemind = new QLabel(QStringLiteral("简要说明"), PnlRemindTitle);
    LabRemind->setObjectName(QStringLiteral("LabRemind"));
    LabShowBulletin = new QLabel(QStringLiteral("无银行公告"), PnlRemindTitle);
    LabShowBulletin->setObjectName(QStringLiteral("LabShowBulletin"));
    LabShowBulletin->setCursor(Qt::PointingHandCursor);
    LabShowBulletin->installEventFilter(this);
    BtnHideInfo = new QPushButton(QStringLiteral("▼"), PnlRemindTitle);
    BtnHideInfo->setObjectName(QStringLiteral("BtnHideInfo"));
    BtnHideInfo->setVisible(false);
    BtnWarningExit = new QPushButton(QStringLiteral("提醒:操作完毕请及时退出！"), PnlRemindTitle);
    BtnWarningExit->setObjectName(QStringLiteral("BtnWarningExit"));
    BtnWarningExit->setFlat(true);
    title->addWidget(LabRemind);
    title->addWidget(LabShowBulletin, 1);
    title->addWidget(BtnHideInfo);
    title->addWidget(BtnWarningExit);
    col->addWidget(PnlRemindTitle);
    RzPanel5 = new QWidget(PnlRemind);
    RzPanel5->setObjectName(QStringLiteral("RzPanel5"));
    RzPanel5->setFixedHeight(90);
    new QVBoxLayout(RzPanel5);
    RzPanel5->layout()->setContentsMargins(0, 0, 0, 0);
    col->addWidget(RzPanel5);

    PopDesc = new QMenu(this);
    PopDesc->setObjectName(QStringLiteral("PopDesc"));
    miDesc = PopDesc->addAction(QStringLiteral("简要说明"));
    miDesc->setObjectName(QStringLiteral("miDesc"));
    miDesc->setCheckable(true);
    miDesc->setChecked(true);
    connect(miDesc, &QAction::toggled, this, &TMainfm::setRemindVisible);
    connect(PnlRemindTitle, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopDesc->popup(PnlRemindTitle->mapToGlobal(pos)); });
    connect(BtnHideInfo, &QPushButton::clicked, this, [this] {
        const bool collapse = RzPanel5->isVisible();
        RzPanel5->setVisible(!collapse);
        BtnHideInfo->setText(collapse ? QStringLiteral("▲") : QStringLiteral("▼"));
    });
    connect(BtnWarningExit, &QPushButton::clicked, this, &QWidget::close);

    m_marquee = new QTimer(this);
    m_marquee->setInterval(150);
    connect(m_marquee, &QTimer::timeout, this, [this] {
        if (m_marqueeText.isEmpty())
            return;
        // Right to left: the text moves one character each step.
        m_marqueeOffset = (m_marqueeOffset + 1) % (m_marqueeText.size() + 20);
        const QString padded = QString(20, QLatin1Char(' ')) + m_marqueeText;
        LabShowBulletin->setText(padded.mid(m_marqueeOffset) + padded.left(m_marqueeOffset));
    });
}

void TMainfm::buildCentral()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralPanel"));
    central->setAttribute(Qt::WA_StyledBackground);
    auto *col = new QVBoxLayout(central);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    buildIndices(central);
    col->addWidget(pnlCustomIndices);

    auto *middle = new QHBoxLayout;
    middle->setSpacing(0);
    PnlClient = new QWidget(central);
    PnlClient->setObjectName(QStringLiteral("PnlClient"));
    auto *host = new QVBoxLayout(PnlClient);
    host->setContentsMargins(0, 0, 0, 0);
    PageHost = new QStackedWidget(PnlClient);
    PageHost->setObjectName(QStringLiteral("PageHost"));
    host->addWidget(PageHost);
    middle->addWidget(PnlClient, 1);
    buildTradeArea(central);
    middle->addWidget(pnlTransArea);
    pnlShowHideTrans = new QWidget(central);
    pnlShowHideTrans->setObjectName(QStringLiteral("pnlShowHideTrans"));
    pnlShowHideTrans->setFixedWidth(12);
    auto *sw = new QVBoxLayout(pnlShowHideTrans);
    sw->setContentsMargins(0, 0, 0, 0);
    ShapeBtn = new QToolButton(pnlShowHideTrans);
    ShapeBtn->setObjectName(QStringLiteral("ShapeBtn"));
    ShapeBtn->setArrowType(Qt::RightArrow);
    ShapeBtn->setFixedWidth(12);
    sw->addStretch(1);
    sw->addWidget(ShapeBtn);
    sw->addStretch(1);
    middle->addWidget(pnlShowHideTrans);
    connect(ShapeBtn, &QToolButton::clicked, this, &TMainfm::ToggleTradeArea);
    col->addLayout(middle, 1);

    buildReminder(central);
    col->addWidget(PnlRemind);
    setCentralWidget(central);
}

void TMainfm::connectTimers()
{
    auto make = [this](const char *name, int interval) {
        auto *t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        return t;
    };
    const auto &tm = MainTimings::Current();
    TimerAcct = make("TimerAcct", 0);
    TimerTrans = make("TimerTrans", 0);
    TimerNews = make("TimerNews", 300000);
    PostTimer = make("PostTimer", tm.postTimerMs);
    TimerClock = make("TimerClock", tm.clockMs);
    ZhiShuTimer = make("ZhiShuTimer", tm.stripMs);
    connect(TimerAcct, &QTimer::timeout, this,
            [this] { onRefreshTimer(TimerAcct, MsgAccountChanged, &Counts.acctTicks); });
    connect(TimerTrans, &QTimer::timeout, this,
            [this] { onRefreshTimer(TimerTrans, MsgDealsChanged, &Counts.transTicks); });
    connect(TimerNews, &QTimer::timeout, this,
            [this] { onRefreshTimer(TimerNews, MsgNewsRefresh, &Counts.newsTicks); });
    connect(PostTimer, &QTimer::timeout, this, &TMainfm::onPostTimer);
    connect(TimerClock, &QTimer::timeout, this, &TMainfm::onClock);
    connect(ZhiShuTimer, &QTimer::timeout, this, &TMainfm::StripTick);
    TimerClock->start();
}

// --- commands that depend on what exists -----------------------------------------------

void TMainfm::updateCommands()
{
    auto has = [this](PageId id) { return bool(m_pages[size_t(id)]); };
    const auto c = CurrentBranchController();
    const bool bank = c && c->HasBankQuotes;
    const bool intl = c && c->HasInterQuotes;
    const bool indices = c && c->HasIndices;
    const bool news = c && c->HasNews;

    mnuColl->setEnabled(has(PageId::Overview));
    tbColl->setEnabled(has(PageId::Overview));
    mnuAcct->setEnabled(has(PageId::Account));
    tbAcct->setEnabled(has(PageId::Account));
    mnuTrans->setEnabled(has(PageId::DealList));
    tbTrans->setEnabled(has(PageId::DealList));
    mnuChart->setEnabled(has(PageId::Market));
    mnuBankMarket->setEnabled(has(PageId::Market) && bank);
    tbBankMarket->setEnabled(has(PageId::Market) && bank);
    mnuIntlMarket->setEnabled(has(PageId::Market) && intl);
    mnuIndexMarket->setEnabled(has(PageId::Market) && indices);
    BtnViewZS->setEnabled(has(PageId::Market));
    mnuInfo->setEnabled(has(PageId::News) && news);
    tbInfo->setEnabled(has(PageId::News) && news);
    mnuProfit->setEnabled(has(PageId::Profit));
    mnuHold->setEnabled(has(PageId::Profit));
    tbProfit->setEnabled(has(PageId::Profit));
    mnuCalendar->setEnabled(has(PageId::Calendar));
    tbCalendar->setEnabled(has(PageId::Calendar));

    const Extensions &e = Ext();
    mnuChooseAcct->setEnabled(bool(e.chooseAccount));
    mnuReLogin->setEnabled(bool(e.reLogin));
    for (QAction *a : {mnuQuotePrice, mnuSaveRate, mnuCalcSaving, mnuCalcExRate, mnuCalcLoan})
        a->setEnabled(bool(e.openCalculatorPage));
    mnuWorldClock->setEnabled(bool(e.showWorldClock));
    mnuCalculator->setEnabled(bool(e.showNumericCalculator));
    mnuCustomQuote->setEnabled(bool(e.chooseCustomQuotes) && bank);
    BtnCustom->setEnabled(bool(e.chooseCustomQuotes));
    BtnCustomZS->setEnabled(bool(e.chooseIndices));
    mnuUpgrade->setEnabled(bool(e.checkForUpdate));
    const bool bulletin = bool(e.showBulletin);
    mnuBulletin->setEnabled(bulletin);
    TbBulletin->setEnabled(bulletin);
    N1->setEnabled(bool(e.openTradePage));
    N2->setEnabled(bool(e.openTradePage));
}

void TMainfm::RegisterPage(PageId id, QWidget *page)
{
    if (id >= PageId::Count)
        return;
    m_pages[size_t(id)] = page;
    // Placed borderless into the client area once; only the current page
    // of the host is visible.
    if (page && PageHost->indexOf(page) < 0) {
        page->setWindowFlags(Qt::Widget);
        PageHost->addWidget(page);
    }
    const PageTarget target = targetOf(id);
    if (target != PageTarget::Count) {
        QPointer<QWidget> guard(page);
        if (auto *p = dynamic_cast<TMainPage *>(page))
            Router->SetReceiver(target, [guard, p](int message, int flag) {
                if (guard)
                    p->HandleNotification(message, flag);
            });
        else
            Router->SetReceiver(target, {});
    }
    updateCommands();
}

void TMainfm::AttachAccountPage(TAccountFm *page)
{
    RegisterPage(PageId::Account, page);
    page->Frame->hooks.requestRefresh = [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Router->SendToMain(MsgAccountChanged, 0);
        QApplication::restoreOverrideCursor();
    };
    page->hooks.showOverview = [this] { ShowPage(PageId::Overview); };
    page->Frame->hooks.subAccountMenu = [this](const TAccount &sub, const QPoint &pos) {
        ShowPairMenu(QString(), sub.Currency ? sub.Currency->Code : QString(), pos);
    };
}

void TMainfm::ShowPairMenu(const QString &codeA, const QString &codeB, const QPoint &globalPos)
{
    Strcurr->setText(codeB);
    Strcurr->setToolTip(codeA);
    PopupMenu->popup(globalPos);
}

QWidget *TMainfm::Page(PageId id) const
{
    return id < PageId::Count ? m_pages[size_t(id)].data() : nullptr;
}

QStringList TMainfm::PageNames() const
{
    QStringList out;
    for (int i = 0; i < int(PageId::Count); ++i)
        if (m_pages[size_t(i)])
            out << PageClassName(PageId(i));
    return out;
}

bool TMainfm::ShowPageByName(const QString &className, int type)
{
    for (int i = 0; i < int(PageId::Count); ++i)
        if (PageClassName(PageId(i)).compare(className, Qt::CaseInsensitive) == 0)
            return ShowPage(PageId(i), type);
    return false;
}

bool TMainfm::ShowPage(PageId id, int type)
{
    QWidget *page = Page(id);
    if (!page)
        return false;
    try {
        PnlRemindTitle->setProperty("popup", QStringLiteral("PopDesc"));
        if (PageHost->indexOf(page) < 0) {
            page->setWindowFlags(Qt::Widget);
            PageHost->addWidget(page);
        }
        PageHost->setCurrentWidget(page);
        page->show();
        loadHintPage(PageClassName(id));
        auto *p = dynamic_cast<TMainPage *>(page);
        if (p) {
            p->ActivatePage(type);
            p->FocusFirstControl(type);
        }
        CurrentPage = page;
    } catch (...) {
        // A failing page stays as it was.
    }
    return true;
}

void TMainfm::loadHintPage(const QString &className)
{
    if (!HintBrowser)
        return;
    const QString file = programFile(QStringLiteral("hinthtml\\") + className + QStringLiteral(".htm"));
    if (QFileInfo::exists(file))
        HintBrowser->setSource(QUrl::fromLocalFile(file));
    else
        HintBrowser->clear(); // about:blank
}

// --- first show, account ----------------------------------------------------------------------

void TMainfm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_firstShown)
        return;
    m_firstShown = true;
    RzToolbar->setFixedHeight(qMax(RzToolbar->sizeHint().height(), 48));
    HintBrowser = new QTextBrowser(RzPanel5);
    HintBrowser->setObjectName(QStringLiteral("HintBrowser"));
    HintBrowser->setOpenLinks(false);
    RzPanel5->layout()->addWidget(HintBrowser);
    connect(HintBrowser, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        // Calculator pages open in their own window; other links stay.
        const QString target = url.toString();
        const QString name = target.section(QLatin1Char('\\'), -1).section(QLatin1Char('/'), -1);
        static const QStringList calculators{QStringLiteral("InfoQuotePrice.htm"), QStringLiteral("InfoForeignSaveRate.htm"),
                                             QStringLiteral("CalcForeSaving.htm"), QStringLiteral("CalcExRate.htm")};
        if (calculators.contains(name)) {
            if (Ext().openCalculatorPage)
                Ext().openCalculatorPage(this, QStringLiteral("FinanceCalculator\\html\\") + name);
            return;
        }
        HintBrowser->setSource(url);
    });
    if (Settings)
        IdleExitStep = SessionKeeper::IdleExitStepFor(Settings->ExitSysIdleTime);
    ApplyAccount();
    Router->SendToMain(MsgAccountChanged, 0);
    SelectTransPage();
    if (!Bulletin.Id.isEmpty()) {
        miDesc->setChecked(true);
        m_marqueeText = QStringLiteral("银行公告:") + Bulletin.Title;
        LabShowBulletin->setText(m_marqueeText);
        m_marquee->start();
    }
}

void TMainfm::AccountChosen()
{
    if (isVisible() && m_firstShown)
        Router->SendToMain(MsgAccountChanged, 0);
}

void TMainfm::refreshAccountFromBank()
{
    if (!CurrentAccount || m_refreshingAccount)
        return;
    m_refreshingAccount = true;
    QString error;
    const bool ok = AccountRefresh::FetchSubAccounts(*CurrentAccount, SessionBank::Current(), &error);
    m_refreshingAccount = false;
    if (!ok)
        Msg::error(error, QStringLiteral("交易失败！"));
}

void TMainfm::applyColors()
{
    centralWidget()->setStyleSheet(QStringLiteral(
        "#CentralPanel{background:#E1E1E1;}"
        "#pnlTransArea{background:#C0C0C0;}"
        "#Notebook1, #TabSheet3, #TabSheet4{background:#FFFBF0;}"
        "QTabBar::tab{background:#3598D9;color:white;padding:4px 10px;}"
        "QTabBar::tab:selected{background:#0958A1;}"
        "QHeaderView::section{background:#3598D9;color:white;padding:2px;border:0;}"
        "QTableView{selection-background-color:#0958A1;selection-color:white;}"
        "#PnlRemindTitle{background:#E1E1E1;} #PnlRemindTitle QLabel{color:#075386;}"));
}

void TMainfm::ApplyAccount()
{
    // 1.
    TransCollapsed = false;
    pgcDoTrans->setVisible(true);
    btnToggleTrans->setToolTip(QStringLiteral("隐藏交易区"));
    // 2.
    if (BankMarketList && CurrencyList && Settings) {
        QMutexLocker l(BankFeedLock);
        QuoteLayouts::RebuildFromCustom(*BankMarketList, Settings->CurrCustom, *CurrencyList);
    }
    CustomQuotes->clear();
    // 3.
    pnlTransArea->setEnabled(true);
    for (QAction *a : {mnuJSTrans, mnuHangTrans, mnuAddTrans, mnuCancel, mnuToggleTrans})
        a->setEnabled(true);
    N3->setEnabled(false);
    N4->setEnabled(false);
    // 4.
    applyColors();
    // 5.
    ApplyBranchCapabilities();
    // 6.
    pgcDoTrans->setCurrentWidget(TabSheet3);
    {
        const QSignalBlocker b(CbTransType);
        CbTransType->setCurrentIndex(0);
        m_transType = 0;
    }
    SelectTransPage();
    // 8.
    const double server = Settings ? Settings->ServerTime : Formats::now();
    const QDate today = Formats::dateOf(server);
    edtBeginDate->setDate(QDate(today.year(), today.month(), 1));
    edtEndDate->setDate(today);
    // 9.
    for (PageId id : {PageId::Account, PageId::Overview, PageId::DealList})
        if (auto *p = dynamic_cast<TMainPage *>(Page(id)))
            p->ResetPage();
    // 10. A failing page or news source leaves the rest of the session
    // applied.
    try {
        Router->SendToMain(MsgMarketChanged, 1);
        if (Ext().resetNews)
            Ext().resetNews();
        else if (NewsList)
            NewsList->Reset();
        Router->SendToMain(MsgNewsRefresh, 1);
    } catch (...) {
    }
    // 11.
    setTimers();
    // 12.
    BuildStrip();
    StripOffset = PnlZS->width();
    StripPlaying = true;
    btnPlay->setToolTip(QStringLiteral("停止"));
    ZhiShuTimer->start();
    // 13.
    openDefaultPage();
    // 15.
    SetSessionTransPassword(CurrentUser ? CurrentUser->TransPassword : QString());
    m_applied = true;
    updateCommands();
}

void TMainfm::openDefaultPage()
{
    const QStringList order{PageClassName(PageId::Overview), PageClassName(PageId::Account),
                            PageClassName(PageId::DealList), PageClassName(PageId::Market),
                            PageClassName(PageId::News)};
    static const PageId ids[] = {PageId::Overview, PageId::Account, PageId::DealList, PageId::Market, PageId::News};
    const int i = MainWindowLogic::DefaultPageIndex(Settings ? Settings->DefaultForm : QString(), order);
    if (i >= 0 && ShowPage(ids[i], ids[i] == PageId::Market ? 1 : 0))
        return;
    if (ShowPage(PageId::Overview))
        return;
    // Without the overview page the account page stands in for it.
    ShowPage(PageId::Account);
}

void TMainfm::setTimers()
{
    const auto &tm = MainTimings::Current();
    auto set = [](QTimer *t, int seconds, int unit, bool *on) {
        t->stop();
        *on = seconds > 0;
        if (*on) {
            t->setInterval(seconds * unit);
            t->start();
        }
    };
    set(TimerAcct, Settings ? Settings->RefreshAcctItvl : 0, tm.secondMs, &m_timerAcctOn);
    set(TimerTrans, Settings ? Settings->RefreshTransItvl : 0, tm.secondMs, &m_timerTransOn);
    set(TimerNews, Settings ? Settings->RefreshNewsItvl : 0, tm.secondMs, &m_timerNewsOn);
    PostTimer->setInterval(tm.postTimerMs);
    m_postTimerOn = true;
    PostTimer->start();
}

void TMainfm::ApplyBranchCapabilities()
{
    const auto c = CurrentBranchController();
    const bool bank = c && c->HasBankQuotes;
    const bool intl = c && c->HasInterQuotes;
    const bool indices = c && c->HasIndices;
    const bool news = c && c->HasNews;
    mnuChart->setVisible(c && c->ChartMode != MainWindowLogic::kChartNone);
    pnlCustomMarket->setVisible(bank);
    for (QAction *a : RzToolbar->actions())
        if (RzToolbar->widgetForAction(a) == tbBankMarket)
            a->setVisible(bank);
    mnuCustomQuote->setVisible(bank);
    mnuIntlMarket->setVisible(intl);
    mnuIndexMarket->setVisible(indices);
    mnuToggleIndices->setVisible(indices);
    pnlCustomIndices->setVisible(indices);
    mnuInfo->setVisible(news);
    for (QAction *a : RzToolbar->actions())
        if (RzToolbar->widgetForAction(a) == tbInfo)
            a->setVisible(news);
    tlCustomBankMarket->setColumnHidden(CustomQuoteModel::ColUpDown, !(c && c->ShowUpDown));
    CustomQuotes->setShowChanges(c && c->ShowUpDown);
    updateCommands();
}

void TMainfm::SelectTransPage()
{
    const auto c = CurrentBranchController();
    if ((!c || !c->AllowAppend) && m_transType == 2) {
        Msg::warning(QStringLiteral("本分行无追加挂单操作！"));
        m_transType = 0;
        const QSignalBlocker b(CbTransType);
        CbTransType->setCurrentIndex(0);
    }
    {
        const QSignalBlocker b1(rdbHuoqi), b2(rdbDingqi);
        if (c && c->HasFixedTerm) {
            rdbHuoqi->setChecked(OnlyDemandDeposits);
            rdbDingqi->setChecked(!OnlyDemandDeposits);
        } else {
            rdbHuoqi->setChecked(true);
        }
    }
    pnlFix->setVisible(false);
    TransAreaExtra = 0;
    const auto layout = MainWindowLogic::TransLayoutFor(m_transType, rdbDingqi->isChecked(), false);
    Notebook1->setCurrentIndex(layout.page);
    if (pgcDoTrans->currentWidget() == TabSheet3)
        pgcDoTrans->setFixedHeight(TransAreaExtra + layout.height);
}

// --- trade area -----------------------------------------------------------------------------

void TMainfm::ToggleTradeArea()
{
    if (!Settings || !Settings->UseCert)
        return;
    const bool show = !pnlTransArea->isVisible();
    pnlTransArea->setVisible(show);
    ShapeBtn->setArrowType(show ? Qt::RightArrow : Qt::LeftArrow);
}

void TMainfm::ToggleTransCollapsed()
{
    TransCollapsed = !TransCollapsed;
    pgcDoTrans->setVisible(!TransCollapsed);
    btnToggleTrans->setToolTip(TransCollapsed ? QStringLiteral("显示交易区") : QStringLiteral("隐藏交易区"));
    btnToggleTrans->setArrowType(TransCollapsed ? Qt::DownArrow : Qt::UpArrow);
}

void TMainfm::TradeCommand(int type)
{
    if (!Settings || !Settings->UseCert)
        return;
    pnlTransArea->setVisible(true);
    ShapeBtn->setArrowType(Qt::RightArrow);
    if (TransCollapsed)
        ToggleTransCollapsed();
    m_transType = type;
    {
        const QSignalBlocker b(CbTransType);
        CbTransType->setCurrentIndex(type);
    }
    if (pgcDoTrans->currentWidget() != TabSheet3)
        pgcDoTrans->setCurrentWidget(TabSheet3); // runs SelectTransPage
    else
        SelectTransPage();
}

void TMainfm::CancelCommand()
{
    if (!Settings || !Settings->UseCert)
        return;
    pnlTransArea->setVisible(true);
    ShapeBtn->setArrowType(Qt::RightArrow);
    if (TransCollapsed)
        ToggleTransCollapsed();
    pgcDoTrans->setCurrentWidget(TabSheet4);
    FrmDeleCancel->setFocus();
}

void TMainfm::SetSessionTransPassword(const QString &text)
{
    // The trade pages pre-fill their password fields from it when they exist.
    m_sessionPassword = text;
}

// --- quotes and indices -----------------------------------------------------------------------

void TMainfm::RefreshCustomQuotes()
{
    if (m_refreshingQuotes || !BankMarketList)
        return;
    m_refreshingQuotes = true;
    const auto c = CurrentBranchController();
    const int level = CustomQuoteModel::LevelFor(Settings ? Settings->UserMarketType : 0, c.get());
    std::vector<CustomQuoteModel::Quote> quotes;
    {
        QMutexLocker bl(BankFeedLock);
        if (!BankMarketList->IsEmpty()) {
            QMutexLocker il(IntlFeedLock);
            quotes = CustomQuoteModel::Collect(*BankMarketList, c && c->ShowUpDown ? IntlMarketList : nullptr,
                                               c.get(), level);
        }
    }
    if (!quotes.empty()) {
        CustomQuotes->setCaptions(c ? c->Levels[size_t(level)].LevelName : QStringLiteral("基本"));
        CustomQuotes->refresh(quotes);
    }
    m_refreshingQuotes = false;
}

void TMainfm::SelectPair(int a, int b)
{
    if (a <= 0 || b <= 0)
        return;
    int row = CustomQuotes->rowOf(a, b);
    if (row < 0 && BankMarketList) {
        bool marked = false;
        {
            QMutexLocker l(BankFeedLock);
            marked = QuoteLayouts::MarkPairVisible(*BankMarketList, a, b);
        }
        if (marked) {
            RefreshCustomQuotes();
            row = CustomQuotes->rowOf(a, b);
        }
    }
    if (row >= 0) {
        tlCustomBankMarket->selectRow(row);
        tlCustomBankMarket->setCurrentIndex(CustomQuotes->index(row, 0));
    }
}

void TMainfm::BuildStrip()
{
    std::vector<MainWindowLogic::StripItem> items;
    if (IndexMarketList) {
        QMutexLocker l(IntlFeedLock);
        items = MainWindowLogic::StripItems(*IndexMarketList);
    }
    if (items.empty()) {
        StripPicture = QPixmap();
        return;
    }
    QFont font(QStringLiteral("宋体"), 10);
    const QFontMetrics fm(font);
    int width = 0;
    for (const auto &i : items)
        width += fm.horizontalAdvance(i.text + QLatin1Char(' '));
    StripPicture = QPixmap(qMax(1, width), fm.height() + 4);
    StripPicture.fill(QColor(0, 0x40, 0));
    QPainter p(&StripPicture);
    p.setFont(font);
    int x = 0;
    for (const auto &i : items) {
        p.setPen(i.color);
        p.drawText(x, fm.ascent() + 2, i.text);
        x += fm.horizontalAdvance(i.text + QLatin1Char(' '));
    }
}

void TMainfm::StripTick()
{
    if (StripPicture.isNull()) {
        BuildStrip();
        if (StripPicture.isNull()) {
            ZhiShuTimer->stop();
            return;
        }
        StripOffset = PnlZS->width();
    }
    StripOffset -= 10;
    if (StripOffset + StripPicture.width() < 0) {
        BuildStrip();
        StripOffset = PnlZS->width();
        if (StripPicture.isNull())
            ZhiShuTimer->stop();
    }
    PnlZS->update();
}

// --- timers -----------------------------------------------------------------------------------

void TMainfm::onRefreshTimer(QTimer *timer, int message, int *counter)
{
    const bool *on = timer == TimerAcct ? &m_timerAcctOn : timer == TimerTrans ? &m_timerTransOn : &m_timerNewsOn;
    timer->stop();
    RestartTimer restart(timer, on);
    ++*counter;
    if (SessionBusy::Busy()) {
        // A transaction waits: this tick is skipped, the next one tries.
        ++Counts.skippedBusy;
        return;
    }
    try {
        // The client's own refresh is not the customer's activity.
        AccountRefresh::AutomaticRequest automatic(Settings);
        Router->SendToMain(message, 0);
    } catch (...) {
    }
}

void TMainfm::onPostTimer()
{
    PostTimer->stop();
    RestartTimer restart(PostTimer, &m_postTimerOn);
    ++Counts.postTicks;
    if (!Settings)
        return;
    try {
        const auto r = SessionKeeper::Tick(*Settings, IdleExitStep, now(), CurrentAccount, SessionBank::Current());
        if (r.skippedBusy)
            ++Counts.skippedBusy;
        if (r.keepAliveSent)
            ++Counts.keepAlives;
        if (r.exitDue)
            IdleExit();
    } catch (...) {
    }
}

void TMainfm::SetIdleExitStep(int step)
{
    PostTimer->stop();
    IdleExitStep = step;
    if (m_postTimerOn)
        PostTimer->start();
}

void TMainfm::onClock()
{
    if (!Settings)
        return;
    Settings->ServerTime += 1.0 / 86400.0;
    setWindowTitle(MainWindowLogic::ClockCaption(kProductTitle, Settings->ServerTime));
}

// --- close --------------------------------------------------------------------------------------

void TMainfm::IdleExit()
{
    if (m_idleExiting)
        return;
    m_idleExiting = true;
    m_timerAcctOn = m_timerTransOn = m_timerNewsOn = m_postTimerOn = false;
    for (QTimer *t : {TimerAcct, TimerTrans, TimerNews, PostTimer})
        t->stop();
    // Local data the customer chose not to keep must not stay behind on the
    // idle exit either; nothing else of the close runs.
    if (!TSettings::RunFromCD() && CurrentUser && Settings && !Settings->SaveProfitData && Ext().deleteLocalRows) {
        try {
            Ext().deleteLocalRows(CurrentUser->UserId);
        } catch (...) {
        }
    }
    if (Ext().terminate)
        Ext().terminate();
    else
        QCoreApplication::exit(0);
}

void TMainfm::CollectLayouts()
{
    if (!Settings || !m_applied)
        return;
    if (BankMarketList) {
        QMutexLocker l(BankFeedLock);
        Settings->CurrCustom = QuoteLayouts::CollectCustom(*BankMarketList);
    }
    if (IndexMarketList && !IndexMarketList->IsEmpty()) {
        QMutexLocker l(IntlFeedLock);
        Settings->IndexShowSortList = QuoteLayouts::CollectIndexShow(*IndexMarketList);
    }
    if (Ext().collectMarketLayouts)
        Ext().collectMarketLayouts();
}

void TMainfm::closeEvent(QCloseEvent *event)
{
    if (m_idleExiting || m_closing) {
        event->accept();
        return;
    }
    const bool confirmed = Ext().confirmExit ? Ext().confirmExit(this) : TcheckcloseFm::Confirm(this);
    if (!confirmed) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_timerAcctOn = m_timerTransOn = m_timerNewsOn = m_postTimerOn = false;
    for (QTimer *t : {TimerAcct, TimerTrans, TimerNews, PostTimer, ZhiShuTimer})
        t->stop();
    ShutdownHooks hooks;
    hooks.collectLayouts = [this] { CollectLayouts(); };
    hooks.deleteLocalRows = [](const QString &userId) {
        if (Ext().deleteLocalRows)
            Ext().deleteLocalRows(userId);
    };
    const bool wantSave = Settings && Settings->SaveIni && CurrentUser && !TSettings::RunFromCD() &&
                          !LoginName.trimmed().isEmpty();
    bool saved = false;
    try {
        saved = RunShutdownSave(hooks);
    } catch (...) {
        saved = false;
    }
    // A per-user file that is not a writable file was not written, even
    // when the settings object reports success.
    if (wantSave && (!saved || !QFileInfo(Settings->UserIniPath(LoginName)).isFile()))
        Msg::warning(QStringLiteral("个人设置文件无法写入，本次的设置没有保存。"), kProductTitle);
    event->accept();
}

// --- dialogs ----------------------------------------------------------------------------------------

bool TMainfm::fromCdBlocked()
{
    if (!TSettings::RunFromCD())
        return false;
    Msg::warning(QStringLiteral("您现在是从光盘运行本软件，使用该功能需从硬盘运行！"));
    return true;
}

void TMainfm::chooseAccountFromMenu()
{
    if (!Ext().chooseAccount || !BankButtonGuard::MayStart())
        return;
    if (Ext().chooseAccount(this)) {
        ApplyAccount();
        // The choice fetched the sub-accounts; the pages show them again
        // after the reset.
        Router->SendToMain(MsgAccountChanged, 1);
    }
}

void TMainfm::reLoginFromMenu()
{
    if (!Ext().reLogin || !BankButtonGuard::MayStart())
        return;
    if (Ext().reLogin(this)) {
        ApplyAccount();
        Router->SendToMain(MsgAccountChanged, 0);
    }
}

void TMainfm::ShowOptions()
{
    TNBSettingFm::Hooks hooks;
    hooks.setIdleExitStep = [this](int step) { SetIdleExitStep(step); };
    hooks.setSessionTransPassword = [this](const QString &p) { SetSessionTransPassword(p); };
    TNBSettingFm dlg(hooks, this);
    dlg.exec();
}

void TMainfm::ShowAbout()
{
    TAboutForm dlg(this);
    dlg.exec();
}

void TMainfm::SetBulletin(const TBulletin &bulletin)
{
    Bulletin = bulletin;
}

void TMainfm::showBulletinDialog()
{
    if (!Bulletin.Id.isEmpty() && Ext().showBulletin)
        Ext().showBulletin(this, Bulletin);
}

void TMainfm::ShowHelp(const QString &topic)
{
    const QString chm = programFile(QStringLiteral("ForexBargaining.chm"));
    if (!QFileInfo::exists(chm)) {
        Msg::warning(QStringLiteral("帮助文件已经丢失或者损坏，您可能需要重新安装软件！"));
        return;
    }
    // This system has no HTML Help viewer for the compiled help file.
    (void)topic;
    Msg::warning(QStringLiteral("不能打开帮助文件：%1！").arg(QStringLiteral("找不到HHCtrl.OCX")));
}

void TMainfm::setRemindVisible(bool visible)
{
    PnlRemind->setVisible(visible);
    if (!Settings)
        return;
    const int i = Settings->PanelVisible.indexOf(QStringLiteral("PnlRemind"));
    if (i >= 0)
        Settings->PanelVisible[i].value = visible ? 1 : 0;
    else
        Settings->PanelVisible.append(QStringLiteral("PnlRemind"), visible ? 1 : 0);
}

bool TMainfm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == LabShowBulletin && event->type() == QEvent::MouseButtonRelease) {
        showBulletinDialog();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
