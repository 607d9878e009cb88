#include "SandboxBank.h"

#include "AccountDesk.h"
#include "BankPages.h"
#include "ContractDesk.h"
#include "ControlDesk.h"
#include "Ledger.h"
#include "LoginDesk.h"
#include "RawQuery.h"
#include "ScenarioLoader.h"
#include "TradeDesk.h"
#include "TransactionCall.h"
#include "XmlAnswer.h"

#include <QFile>

namespace {

using Handler = XmlAnswer (*)(TransactionCall &);

// The nineteen transactions, 100101 (the login) apart.
const QHash<QString, Handler> &handlers()
{
    static const QHash<QString, Handler> table = {
        {QStringLiteral("310102"), &AccountDesk::cardAccounts},
        {QStringLiteral("310600"), &AccountDesk::subAccounts},
        {QStringLiteral("310800"), &AccountDesk::subAccounts},
        {QStringLiteral("310700"), &AccountDesk::updateSubAccounts},
        {QStringLiteral("310100"), &AccountDesk::balances},
        {QStringLiteral("310200"), &AccountDesk::statement},
        {QStringLiteral("320102"), &TradeDesk::quote},
        {QStringLiteral("320100"), &TradeDesk::confirm},
        {QStringLiteral("320902"), &TradeDesk::quote},
        {QStringLiteral("320903"), &TradeDesk::confirm},
        {QStringLiteral("320200"), &TradeDesk::placeOrder},
        {QStringLiteral("321002"), &TradeDesk::placeOrder},
        {QStringLiteral("321104"), &TradeDesk::appendOrder},
        {QStringLiteral("321204"), &TradeDesk::appendOrder},
        {QStringLiteral("320400"), &TradeDesk::cancelOrder},
        {QStringLiteral("320700"), &ContractDesk::singleContract},
        {QStringLiteral("320600"), &ContractDesk::contractList},
        {QStringLiteral("320800"), &ContractDesk::contractList},
    };
    return table;
}

const QString kLoginCode = QStringLiteral("100101");

HttpReply xmlReply(const XmlAnswer &answer)
{
    HttpReply r = HttpReply::make(200, XmlAnswer::kContentType, answer.toBytes());
    r.addHeader("Cache-Control", "no-cache");
    return r;
}

HttpReply pageReply(BankPages::Kind kind)
{
    return HttpReply::make(200, BankPages::kContentType, BankPages::page(kind));
}

HttpReply refusal(const QString &code, const QString &message)
{
    return xmlReply(XmlAnswer::error(code, {message}));
}

RequestLogEntry logEntry(const BankState &state, const HttpRequestView &request)
{
    RequestLogEntry e;
    e.bankTime = state.clock.now();
    e.wallTime = QDateTime::currentDateTime();
    e.path = request.path;
    e.rawQuery = request.rawQuery;
    return e;
}

} // namespace

SandboxBank::SandboxBank()
{
    m_state.secret = SessionRegistry::randomToken(16);
}

bool SandboxBank::loadFile(const QString &scenarioPath, QString *error)
{
    QFile f(scenarioPath);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(scenarioPath, f.errorString());
        return false;
    }
    return loadJson(f.readAll(), error);
}

bool SandboxBank::loadJson(const QByteArray &scenarioJson, QString *error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QByteArray previous = m_scenario;
    m_scenario = scenarioJson;
    if (!resetLocked({}, false, error)) {
        m_scenario = previous;
        return false;
    }
    return true;
}

bool SandboxBank::resetLocked(const QDateTime &clock, bool frozen, QString *error)
{
    ScenarioLoader::ClockSetting setting;
    if (!ScenarioLoader::readClock(m_scenario, &setting, error))
        return false;
    if (clock.isValid()) {
        setting.start = clock;
        setting.frozen = frozen;
    }
    QDateTime start = setting.start.isValid() ? setting.start : QDateTime::currentDateTime();
    start = start.addMSecs(-start.time().msec());
    BankBook book;
    if (!ScenarioLoader::load(m_scenario, start, &book, error))
        return false;
    m_state.book = std::move(book);
    m_state.clock.set(start, setting.frozen);
    m_state.sessions.clear();
    m_state.faults.clear();
    m_state.log.clear();
    m_state.lastCode.clear();
    m_state.lastSessionId.clear();
    return true;
}

void SandboxBank::registerRoutes(Router &router)
{
    const BankSettings settings = withState([](BankState &s) { return s.book.settings; });
    router.add(settings.transactionPath, [this](const HttpRequestView &r) { return serveTransaction(r); });
    router.add(settings.loginPath, [this](const HttpRequestView &r) { return serveLoginPage(r); });
    router.add(settings.picturePath, [this](const HttpRequestView &r) { return servePicture(r); });
    router.addPrefix(kControlPrefix, [this](const HttpRequestView &r) { return serveControl(r); });
}

HttpReply SandboxBank::applyFault(const Fault &fault, HttpReply performed, bool wasPerformed)
{
    switch (fault.kind) {
    case Fault::Kind::Error:
        return refusal(QStringLiteral("9999"),
                       fault.text.isEmpty() ? QStringLiteral("系统忙，请稍后再试") : fault.text);
    case Fault::Kind::Html:
        return pageReply(fault.page);
    case Fault::Kind::Malformed: {
        QByteArray body = wasPerformed ? performed.body : XmlAnswer().toBytes();
        // Cut the document inside its root element: no well-formed ROOT.
        body = body.left(qMax<qsizetype>(body.indexOf("<ROOT>") + 8, body.size() / 2));
        return HttpReply::make(200, XmlAnswer::kContentType, body);
    }
    case Fault::Kind::Empty:
        return HttpReply::make(200, XmlAnswer::kContentType, QByteArray());
    case Fault::Kind::Delay:
        if (!wasPerformed)
            performed = HttpReply::make(200, XmlAnswer::kContentType, QByteArray());
        performed.delayMs = fault.delayMs;
        return performed;
    case Fault::Kind::Drop:
        performed.dropConnection = true;
        return performed;
    }
    return performed;
}

HttpReply SandboxBank::serveTransaction(const HttpRequestView &request)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    BankState &s = m_state;
    const QDateTime now = s.clock.now();
    s.sessions.expireIdle(now, s.book.settings.sessionIdleSeconds);
    Ledger::sweepExpired(s.book, now.date());

    const RawQuery query = RawQuery::parse(request.rawQuery);
    RequestLogEntry entry = logEntry(s, request);
    const QString txcode = query.isReadable() ? query.text(QStringLiteral("TXCODE")) : QString();
    const bool known = txcode == kLoginCode || handlers().contains(txcode);
    entry.txcode = txcode;
    const qint64 seq = s.log.append(entry);

    Fault fault;
    const bool faulty = known && s.faults.take(txcode, &fault);
    QString outcome;
    HttpReply reply;
    if (!faulty || fault.perform)
        reply = transactionLocked(request, query, txcode, &outcome);
    if (faulty) {
        reply = applyFault(fault, reply, fault.perform);
        outcome = QStringLiteral("fault:") + Fault::kindName(fault.kind);
    }
    s.log.setOutcome(seq, outcome);
    return reply;
}

HttpReply SandboxBank::transactionLocked(const HttpRequestView &request, const RawQuery &query,
                                         const QString &txcode, QString *outcome)
{
    BankState &s = m_state;
    *outcome = QStringLiteral("error");
    if (!query.isReadable())
        return refusal(QStringLiteral("0001"), query.problem());
    if (!query.repeatedNames().isEmpty())
        return refusal(QStringLiteral("0002"), QStringLiteral("参数%1重复").arg(query.repeatedNames().first()));
    if (query.text(QStringLiteral("PT_STYLE")) != QLatin1String("9"))
        return refusal(QStringLiteral("0003"), QStringLiteral("参数PT_STYLE的值不正确"));
    if (txcode != kLoginCode && !handlers().contains(txcode))
        return refusal(QStringLiteral("0004"), QStringLiteral("交易码%1不存在").arg(txcode.left(12)));

    try {
        if (txcode == kLoginCode) {
            const XmlAnswer a = LoginDesk::login(s, query, request);
            *outcome = QStringLiteral("answer");
            return xmlReply(a);
        }
        Session *session = s.sessions.find(request.cookie(SessionRegistry::kCookieName));
        if (!session || !session->isLoggedIn())
            throw BankPageRefusal{BankPages::Kind::IdleTimeout};
        const QDateTime now = s.clock.now();
        session->lastActivity = now;
        if (!query.has(QStringLiteral("SKEY")) || query.text(QStringLiteral("SKEY")) != session->skey)
            TransactionCall::refuse(QStringLiteral("0010"), QStringLiteral("会话标识不正确，请重新登录"));
        if (query.text(QStringLiteral("USERID")) != session->userId)
            TransactionCall::refuse(QStringLiteral("0011"), QStringLiteral("客户号与登录客户不符"));
        Customer *customer = s.book.customerByUserId(session->userId);
        if (!customer)
            throw BankPageRefusal{BankPages::Kind::IdleTimeout};

        const BankSettings &settings = s.book.settings;
        const bool submission = settings.submitIntervalMs > 0 && settings.submitCodes.contains(txcode);
        if (submission && session->lastSubmit.isValid()
            && session->lastSubmit.msecsTo(now) < settings.submitIntervalMs)
            throw BankPageRefusal{BankPages::Kind::TooQuick};

        TransactionCall call(s, query, txcode, session, customer);
        const XmlAnswer a = handlers().value(txcode)(call);
        if (submission)
            session->lastSubmit = now;
        *outcome = QStringLiteral("answer");
        return xmlReply(a);
    } catch (const BankRefusal &r) {
        return refusal(r.code, r.message);
    } catch (const BankPageRefusal &p) {
        *outcome = QStringLiteral("page");
        return pageReply(p.kind);
    }
}

HttpReply SandboxBank::serveLoginPage(const HttpRequestView &request)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    RequestLogEntry entry = logEntry(m_state, request);
    entry.outcome = QStringLiteral("login page");
    Fault fault;
    if (m_state.faults.take(QStringLiteral("LOGINPAGE"), &fault)) {
        entry.outcome = QStringLiteral("fault:") + Fault::kindName(fault.kind);
        m_state.log.append(entry);
        return applyFault(fault, fault.perform ? LoginDesk::page(m_state, request) : HttpReply(), fault.perform);
    }
    m_state.log.append(entry);
    return LoginDesk::page(m_state, request);
}

HttpReply SandboxBank::servePicture(const HttpRequestView &request)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    RequestLogEntry entry = logEntry(m_state, request);
    entry.outcome = QStringLiteral("picture");
    Fault fault;
    if (m_state.faults.take(QStringLiteral("PICTURE"), &fault)) {
        entry.outcome = QStringLiteral("fault:") + Fault::kindName(fault.kind);
        m_state.log.append(entry);
        return applyFault(fault, fault.perform ? LoginDesk::picture(m_state, request) : HttpReply(), fault.perform);
    }
    m_state.log.append(entry);
    return LoginDesk::picture(m_state, request);
}

HttpReply SandboxBank::serveControl(const HttpRequestView &request)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Ledger::sweepExpired(m_state.book, m_state.clock.now().date());
    return ControlDesk::serve(*this, m_state, request);
}
