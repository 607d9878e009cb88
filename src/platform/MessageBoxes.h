#pragma once
// One layer for every message box and question the programs show.
//
// The core (this file) links no QtWidgets: it decides whether a box is shown
// or answered unattended. With OSTREL_UNATTENDED=1 in the environment every
// box is written to standard error as one line
//     MessageBox: <caption>: <text>
// (line breaks written as \n) and answered with its default button. Windows
// programs install a presenter (MessageBoxPresenter in ostrel_platform_gui)
// that shows real dialogs; without one the unattended behaviour applies.

#include <QString>
#include <functional>

namespace Msg {

enum class Icon { None, Information, Warning, Error, Question };

enum Button {
    NoButton = 0,
    Ok = 0x1,
    Cancel = 0x2,
    Yes = 0x4,
    No = 0x8,
    Retry = 0x10,
    Abort = 0x20,
    Ignore = 0x40,
};
using Buttons = int;

struct Request {
    QString caption;
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Ok;
    Button defaultButton = Ok;
};

using Presenter = std::function<Button(const Request &)>;

// Installs the window presenter; pass an empty function to remove it.
void setPresenter(Presenter presenter);
bool unattended();

// Shows the box (or answers it unattended) and returns the button chosen.
Button show(const Request &request);

// Observers see every box before it is shown (tests record them).
using Observer = std::function<void(const Request &)>;
int addObserver(Observer observer);
void removeObserver(int id);

// The application title used as caption where a box names none.
void setApplicationTitle(const QString &title);
QString applicationTitle();

// The shared boxes of the client.
void warning(const QString &text, const QString &caption = QString());
void error(const QString &text, const QString &caption = QString());
void information(const QString &text, const QString &caption = QString());
// Yes/No question; returns true for Yes.
bool confirm(const QString &text, const QString &caption = QString(), Button defaultButton = Yes);
Button question(const QString &text, const QString &caption, Buttons buttons, Button defaultButton,
                Icon icon = Icon::Question);

} // namespace Msg
