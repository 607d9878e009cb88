#pragma once
// Reads the server time and the two finance-calculator data files from the
// calculator data service, once after login. The server time is handed to
// the GUI thread (Settings is written only there); the data files are
// written atomically under the program folder, so a failed or cut-off
// download never leaves half a file for the calculator pages.

#include <QString>
#include <QThread>

class TSettings;

class TKestrovaThread : public QThread
{
    Q_OBJECT
public:
    // A stalled request is given up after this long.
    static inline int FetchTimeoutMs = 30000;

    static inline const QString kServerTimePath =
        QStringLiteral("/webservice/caculator/GetCaculatorParam.asmx/ServerTime?");
    static inline const QString kExchangeRatePath =
        QStringLiteral("/webservice/caculator/GetCaculatorParam.asmx/VODExchangeRate?");
    static inline const QString kSaveRatePath =
        QStringLiteral("/webservice/caculator/GetCaculatorParam.asmx/ForeignSaveRate?");
    static inline const QString kExchangeRateFile = QStringLiteral("FinanceCalculator\\Data\\ExchangeRate.xml");
    static inline const QString kSaveRateFile = QStringLiteral("FinanceCalculator\\Data\\ForeignSaveRate.xml");

    // `baseUrl` is the service's scheme and host (Settings->CalculatorSvr).
    explicit TKestrovaThread(QString baseUrl, QObject *parent = nullptr);

    // Creates and starts the thread, registered with the background threads
    // so shut-down stops and joins it; the server time lands in
    // Settings->ServerTime on the GUI thread. Returns nullptr when no
    // service is configured. The thread deletes itself when done.
    static TKestrovaThread *Start(TSettings *settings);

    // The time text inside the service's answer ("<TIME>" and 19
    // characters, "yyyy-MM-dd HH:mm:ss"); false when there is none.
    static bool ParseServerTime(const QString &text, double *days);
    // The data file the service's text becomes: line feeds as CR LF, an XML
    // declaration for gb2312 in front, GBK bytes. Empty when it is not XML.
    static QByteArray DataFileBytes(const QString &text);
    // The text of the answer document's element "string"; false without one.
    static bool StringElement(const QByteArray &answer, QString *text);

signals:
    void serverTimeFetched(double days);
    void dataFileWritten(const QString &path);

protected:
    void run() override;

private:
    bool fetch(const QString &path, QByteArray *body);
    QString m_baseUrl;
};
