#include "TLoginFm.h"

#include "LoginBank.h"
#include "LoginNumbers.h"
#include "SharedInstances.h"
#include "Startup.h"
#include "TLoginPage.h"
#include "TSettings.h"
#include "TUser.h"
#include "ForexErrors.h"
#include "bank/BankNetwork.h"
#include "bank/BankCookieJar.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace {

const QString kTitleColour = QStringLiteral("#3598D9");
const QString kBackColour = QStringLiteral("#E1E1E1");

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

} // namespace

TLoginFm::TLoginFm(bool atStartup, QWidget *parent) : QDialog(parent), AtStartup(atStartup)
{
    setObjectName(QStringLiteral("TLoginFm"));
    setWindowTitle(kProductTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *top = new QLabel(QStringLiteral("系统登录"), this);
    pnlTop = top;
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    top->setStyleSheet(QStringLiteral("background:%1;color:white;font-weight:bold;padding:4px 8px;").arg(kTitleColour));
    outer->addWidget(pnlTop);

    RzPanel = new QWidget(this);
    RzPanel->setObjectName(QStringLiteral("RzPanel"));
    RzPanel->setAutoFillBackground(true);
    RzPanel->setStyleSheet(QStringLiteral("#RzPanel{background:%1;}").arg(kBackColour));
    outer->addWidget(RzPanel, 1);

    auto *grid = new QGridLayout(RzPanel);
    grid->setContentsMargins(12, 8, 12, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);

    cbkCerty = new QComboBox(RzPanel);
    cbkCerty->setObjectName(QStringLiteral("cbkCerty"));
    cbkCerty->setEditable(true);
    cbkCerty->setInsertPolicy(QComboBox::NoInsert);
    edpass = new QLineEdit(RzPanel);
    edpass->setObjectName(QStringLiteral("edpass"));
    edpass->setEchoMode(QLineEdit::Password);
    edpass->setMaxLength(50);
    EdtVerCode = new QLineEdit(RzPanel);
    EdtVerCode->setObjectName(QStringLiteral("EdtVerCode"));
    EdtVerCode->setMaxLength(8);
    Image = new QLabel(RzPanel);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setFixedSize(78, 40);
    Image->setScaledContents(true);
    Image->setAlignment(Qt::AlignCenter);
    Image->setStyleSheet(QStringLiteral("background:white;"));

    grid->addWidget(caption(QStringLiteral("证件号码/昵称："), RzPanel), 0, 0);
    grid->addWidget(cbkCerty, 0, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("登录密码："), RzPanel), 1, 0);
    grid->addWidget(edpass, 1, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("附 加 码："), RzPanel), 2, 0);
    grid->addWidget(EdtVerCode, 2, 1);
    grid->addWidget(Image, 2, 2);

    ckbUserProxy = new QCheckBox(QStringLiteral("使用代理服务器"), RzPanel);
    ckbUserProxy->setObjectName(QStringLiteral("ckbUserProxy"));
    PnlProxy = new QWidget(RzPanel);
    PnlProxy->setObjectName(QStringLiteral("PnlProxy"));
    auto *proxy = new QGridLayout(PnlProxy);
    m_proxyHost = new QLineEdit(PnlProxy);
    m_proxyPort = new QLineEdit(QStringLiteral("80"), PnlProxy);
    m_proxyUser = new QLineEdit(PnlProxy);
    m_proxyPassword = new QLineEdit(PnlProxy);
    m_proxyPassword->setEchoMode(QLineEdit::Password);
    proxy->addWidget(new QLabel(QStringLiteral("地址"), PnlProxy), 0, 0);
    proxy->addWidget(m_proxyHost, 0, 1);
    proxy->addWidget(new QLabel(QStringLiteral("端口"), PnlProxy), 0, 2);
    proxy->addWidget(m_proxyPort, 0, 3);
    proxy->addWidget(new QLabel(QStringLiteral("用户名"), PnlProxy), 1, 0);
    proxy->addWidget(m_proxyUser, 1, 1);
    proxy->addWidget(new QLabel(QStringLiteral("密码"), PnlProxy), 1, 2);
    proxy->addWidget(m_proxyPassword, 1, 3);
    grid->addWidget(ckbUserProxy, 3, 0, 1, 3);
    grid->addWidget(PnlProxy, 4, 0, 1, 3);
    // The proxy entry is unchecked and hidden, so its panel never shows.
    ckbUserProxy->setChecked(false);
    ckbUserProxy->hide();
    PnlProxy->setEnabled(false);
    PnlProxy->hide();

    auto *warning = new QLabel(QStringLiteral("注意：请不要在网吧等公共场所使用本套交易系统"), RzPanel);
    warning->setStyleSheet(QStringLiteral("color:red;"));
    grid->addWidget(warning, 5, 0, 1, 3);

    lblStatus = new QLabel(RzPanel);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    BtnOk = new QPushButton(QStringLiteral("确 定"), RzPanel);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setEnabled(false);
    BtnOk->setAutoDefault(false);
    BtnCancel = new QPushButton(QStringLiteral("退 出"), RzPanel);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    grid->addLayout(buttons, 6, 0, 1, 3);

    setFixedSize(334, 220);
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(BtnOk, &QPushButton::clicked, this, &TLoginFm::LogIn);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget *w : {static_cast<QWidget *>(cbkCerty), static_cast<QWidget *>(edpass),
                       static_cast<QWidget *>(EdtVerCode)})
        w->installEventFilter(this);
    cbkCerty->lineEdit()->installEventFilter(this);

    cbkCerty->clear();
    cbkCerty->addItems(LoginNumbers::Offered());
    cbkCerty->setCurrentIndex(-1);
    cbkCerty->setEditText(QString());
    edpass->clear();
    EdtVerCode->clear();

    Web = new TLoginPage(BankNetwork::CookieJar(), this);
    connect(Web, &TLoginPage::loadFinished, this, &TLoginFm::documentComplete);
}

TLoginFm::~TLoginFm()
{
    edpass->clear();
}

QString TLoginFm::PictureFile()
{
    return TSettings::TempWorkDir() + QStringLiteral("tmp.jpg");
}

int TLoginFm::ShowLogin(bool atStartup, bool *endProgram)
{
    QFile::remove(TSettings::TempWorkDir() + QStringLiteral("tmp.gif"));
    TLoginFm form(atStartup);
    const int result = form.exec();
    if (endProgram)
        *endProgram = form.EndProgram;
    return result;
}

void TLoginFm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    setWindowTitle(kProductTitle + kVersionText);
    // Queued, so the window paints before the page starts loading.
    QMetaObject::invokeMethod(this, &TLoginFm::LoadLoginPage, Qt::QueuedConnection);
}

void TLoginFm::setBusy(bool busy, const QString &status)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    lblStatus->setText(status);
}

void TLoginFm::LoadLoginPage()
{
    BtnCancel->setText(AtStartup ? QStringLiteral("退出") : QStringLiteral("取消"));
    setBusy(true, QStringLiteral("获取附加码......"));
    BtnOk->setEnabled(false);
    AwaitingPicture = true;
    Web->load(QUrl(Settings->LoginUrl));
}

void TLoginFm::documentComplete(bool ok)
{
    if (!m_splashClosed && CloseSplash) {
        m_splashClosed = true;
        CloseSplash();
    }
    Settings->TouchRequestTick();
    if (!AwaitingPicture) {
        setBusy(false, lblStatus->text());
        return;
    }
    if (ok && obtainPicture()) {
        AwaitingPicture = false;
        setBusy(false, QString());
        BtnCancel->setEnabled(true);
        BtnOk->setEnabled(true);
        // The start-up benchmark measures the time to this point.
        if (qEnvironmentVariableIntValue("OSTREL_EXIT_AT_LOGIN_PICTURE") == 1) {
            std::fputs("login picture shown\n", stdout);
            std::fflush(stdout);
            std::_Exit(0);
        }
        return;
    }
    pictureFailed();
}

bool TLoginFm::obtainPicture()
{
    const QString address = Web->pictureAddress();
    if (address.isEmpty())
        return false;
    const QString file = PictureFile();
    if (file.isEmpty() || !LoginBank::FetchPicture(address, file))
        return false;
    Settings->TouchRequestTick();
    QPixmap picture;
    if (!picture.load(file))
        return false;
    Image->setPixmap(picture);
    return true;
}

void TLoginFm::pictureFailed()
{
    setBusy(false, QString());
    const Msg::Button answer =
        Msg::question(QStringLiteral("无法获取附加码，可能是服务器太忙或网络故障,是否重试一次?"), QStringLiteral("错误"),
                      Msg::Yes | Msg::No, Msg::No, Msg::Icon::Error);
    if (answer == Msg::Yes) {
        LoadLoginPage();
        return;
    }
    EndProgram = true;
    reject();
}

bool TLoginFm::checkInput()
{
    auto refuse = [this](const QString &text, QWidget *field) {
        Msg::information(text, kProductTitle);
        field->setFocus();
        return false;
    };
    if (cbkCerty->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("请输入证件号码/昵称！"), cbkCerty);
    if (edpass->text().size() < 6)
        return refuse(QStringLiteral("请检验您输入的密码！\n密码不能小于6位"), edpass);
    if (EdtVerCode->text().trimmed().isEmpty())
        return refuse(QStringLiteral("请输入附加码！"), EdtVerCode);
    return true;
}

void TLoginFm::LogIn()
{
    if (!BtnOk->isEnabled() || AwaitingPicture)
        return;
    if (!checkInput())
        return;
    Settings->SetProxy(false, QString(), QString(), QString(), 80);
    setBusy(true, QStringLiteral("通讯中......"));
    BtnOk->setEnabled(false);
    BtnCancel->setEnabled(false);

    const QString loginNo = cbkCerty->currentText().trimmed();
    const QString code = EdtVerCode->text().trimmed();
    auto finish = [this] {
        setBusy(false, QString());
        BtnCancel->setEnabled(true);
        BtnOk->setEnabled(true);
    };
    try {
        const auto protectedValues = Web->protectPassword(loginNo, edpass->text().trimmed(), code);
        if (!protectedValues)
            throw EResponseError(QStringLiteral("登录页面未能处理密码，请重新获取附加码后再试。"));
        std::unique_ptr<TUser> user = LoginBank::Login(loginNo, protectedValues->password, code, protectedValues->digest);
        user->Accounts.Clear();
        CurrentAccount = nullptr;
        CurrentUser = std::move(user);
        LoginBank::LoadAccounts(*CurrentUser);
    } catch (const EResponseError &e) {
        finish();
        Msg::error(e.message(), kProductTitle);
        return;
    }
    LoginName = loginNo;
    finish();
    edpass->clear();
    done(1);
    Settings->LoadUserIni(LoginName);
    LoginNumbers::Remember(LoginName);
}

bool TLoginFm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == cbkCerty || watched == cbkCerty->lineEdit()) {
                edpass->setFocus();
                return true;
            }
            if (watched == edpass) {
                EdtVerCode->setFocus();
                return true;
            }
            if (watched == EdtVerCode) {
                if (BtnOk->isEnabled())
                    LogIn();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
