#pragma once
// The one process-wide settings object, reached as `Settings`: the program
// configuration of "DededEri.ini", the per-user preferences (a per-user ini
// file made from the template "model.ini"), the proxy, and the run-time
// values many parts share.
//
// Only the GUI thread writes it (background threads hand their results to
// the GUI thread). The feed, update and bulletin threads read values the GUI
// thread set before they started or that change only when a new account is
// applied.

#include "IntList.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class TSettings
{
public:
    TSettings();

    // --- files -----------------------------------------------------------
    // Value of section/key in `file`; when absent or empty there, the same
    // key of ProgramDir + "model.ini"; empty when that is empty too. At most
    // 1023 characters.
    static QString ReadIniString(const QString &section, const QString &key, const QString &file);
    // ReadIniString as a signed integer; -1 when empty or not an integer.
    static int ReadIniInt(const QString &section, const QString &key, const QString &file);
    // Clears `list` and fills it with the section's lines; returns their number.
    static int ReadIniSection(const QString &section, const QString &file, QStringList &list);
    static bool EraseIniSection(const QString &section, const QString &file);
    static bool WriteIniSection(const QString &file, const QString &section, const QStringList &list);

    static QString SystemIniFile();   // ProgramDir + "DededEri.ini"
    static QString ModelIniFile();    // ProgramDir + "model.ini"

    // --- operations --------------------------------------------------------
    bool LoadSystemIni();
    bool LoadUserIni(const QString &userName);
    bool SaveUserIni(const QString &userName);
    static QString UserIniName(const QString &userName);
    QString UserIniPath(const QString &userName) const;
    bool IsBulletinClosed(const QString &userName, const QString &bulletinId) const;
    void SetBulletinClosed(const QString &userName, const QString &bulletinId, bool closed);
    // Proxy of the system: the environment's http_proxy / HTTP_PROXY, then
    // https_proxy / HTTPS_PROXY, parsed like the Internet settings' values.
    void ReadProxyFromRegistry();
    // Parses an Internet-settings style proxy value ("host:port",
    // "http=host:port;https=…") into the proxy fields.
    void ApplyProxyServerValue(bool enabled, const QString &proxyServer);
    void SetProxy(bool enabled, const QString &host, const QString &password, const QString &user, int port);
    static QString TempWorkDir();
    static bool RunFromCD();
    static bool ClearReadOnlyDataFiles();
    // Copies the current branch controller's five feed addresses; false when
    // no controller is current.
    bool TakeBranchEndpoints();
    void ResetUserOptions();

    // The bank base address in use: DataSvrIpWithCer or DataSvrIp.
    QString BankBaseUrl() const { return UseCert ? DataSvrIpWithCer : DataSvrIp; }
    // Milliseconds on a 32-bit tick counter that wraps, like the system's.
    static uint32_t TickCount();
    void TouchRequestTick() { LastRequestTick = TickCount(); }

    // --- fields, in declaration order ---------------------------------------
    QString BranchCode;
    QString UpgradeIniUrl;
    int UpdateWay = 0;
    double Version = 0;
    IntList FuncCustom;
    IntList PanelVisible;
    IntList CurrCustom;
    IntList CurrRT;
    IntList CurrIT;
    QString CurrRTSortColumn;
    int CurrRTSorted = 0;
    QString CurrITSortColumn;
    int CurrITSorted = 0;
    IntList IndexShowSortList;
    IntList IndexListSortList;
    QString IndexSortColumn;
    int IndexSorted = 0;
    QStringList CurrencyDic;
    QString DefaultForm;
    bool CalendarRemind = true;
    int UserMarketType = 0;
    int RefreshAcctItvl = 0;
    int RefreshTransItvl = 0;
    int RefreshMarketItvl = 0;
    int RefreshNewsItvl = 0;
    QString DefaultAcct;
    bool UseCert = true;
    bool SaveDealPwd = false;
    bool SaveIni = true;
    bool SaveProfitData = false;
    bool SaveCerty = false;
    QString SessionKey;
    QString DataSvrIp;
    QString DataSvrIpWithCer;
    int DataSvrPort = 0;
    int DataSvrTimeout = 0;
    QString BankQuoteUrl;
    int MarketSvrPort = 0;
    int MarketSvrTimeout = 0;
    QString FileSvrIp;
    int FileSvrPort = 0;
    int FileSvrTimeout = 0;
    QString IntlQuoteUrl;
    QString NewsUrl;
    QString News5Url;
    int RTRefreshInterval = 0;
    int ITRefreshInterval = 0;
    double RMBRatio = 0;
    QString ChartUrl;
    QString LoginUrl;
    QString DefultHistoryIncode;
    QString DefultHistoryOutcode;
    int ExitSysIdleTime = 0;
    uint32_t LastRequestTick = 0;
    uint32_t LastKeepAliveTick = 0;
    int KeepAliveTurn = 0;
    bool ProxyEnabled = false;
    QString ProxyHost;
    int ProxyPort = 0;
    QString ProxyUser;
    QString ProxyPassword; // typed by the user; never written anywhere
    // The running server clock (days); written on the GUI thread only.
    double ServerTime = 0;
    QString ExtraTransParams;
    // Extra certificate authority file for a bank with a private one
    // ([Server] CaFile, relative to the program folder); optional.
    QString CaFile;
    // Host of the finance-calculator data service ([Server] CalculatorSvr).
    QString CalculatorSvr;
};

// The process-wide instance; exists between the creation and destruction of
// the shared instances (see SharedInstances).
extern TSettings *Settings;
