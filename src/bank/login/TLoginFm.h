#pragma once
// The login window: login number, password and verification code, with the
// bank's login page running unseen behind it.

#include <QDialog>
#include <functional>

class QComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TLoginPage;

class TLoginFm : public QDialog
{
    Q_OBJECT
public:
    explicit TLoginFm(bool atStartup, QWidget *parent = nullptr);
    ~TLoginFm() override;

    // Deletes "tmp.gif" in the work folder, shows the window modally and
    // returns its result (1 after a successful login).
    static int ShowLogin(bool atStartup, bool *endProgram = nullptr);

    // Called when the page first reports a finished document (closes the
    // start-up splash).
    static inline std::function<void()> CloseSplash;

    bool AtStartup = false;
    bool AwaitingPicture = false;
    // Set when the customer chose to end the program (no picture, no retry).
    bool EndProgram = false;

    // Controls, named as the rest of the client refers to them.
    QWidget *pnlTop = nullptr;
    QWidget *RzPanel = nullptr;
    QComboBox *cbkCerty = nullptr;
    QLineEdit *edpass = nullptr;
    QLineEdit *EdtVerCode = nullptr;
    QLabel *Image = nullptr;
    QLabel *lblStatus = nullptr;
    QPushButton *BtnOk = nullptr;
    QPushButton *BtnCancel = nullptr;
    QCheckBox *ckbUserProxy = nullptr;
    QWidget *PnlProxy = nullptr;
    TLoginPage *Web = nullptr;

    // The verification picture file in the work folder.
    static QString PictureFile();

public slots:
    void LoadLoginPage();
    void LogIn();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void documentComplete(bool ok);
    bool obtainPicture();
    void pictureFailed();
    void setBusy(bool busy, const QString &status);
    bool checkInput();

    QLineEdit *m_proxyHost = nullptr;
    QLineEdit *m_proxyPort = nullptr;
    QLineEdit *m_proxyUser = nullptr;
    QLineEdit *m_proxyPassword = nullptr;
    bool m_shownOnce = false;
    bool m_splashClosed = false;
};
