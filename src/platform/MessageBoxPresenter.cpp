#include "MessageBoxPresenter.h"

#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace MessageBoxPresenter {
namespace {

QMessageBox::Icon toIcon(Msg::Icon icon)
{
    switch (icon) {
    case Msg::Icon::Information: return QMessageBox::Information;
    case Msg::Icon::Warning: return QMessageBox::Warning;
    case Msg::Icon::Error: return QMessageBox::Critical;
    case Msg::Icon::Question: return QMessageBox::Question;
    case Msg::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonText {
    Msg::Button button;
    const char16_t *text;
    QMessageBox::ButtonRole role;
};

// Button texts as the client's users know them.
const ButtonText kButtons[] = {
    {Msg::Yes, u"是(&Y)", QMessageBox::YesRole},
    {Msg::No, u"否(&N)", QMessageBox::NoRole},
    {Msg::Ok, u"确定", QMessageBox::AcceptRole},
    {Msg::Retry, u"重试(&R)", QMessageBox::AcceptRole},
    {Msg::Ignore, u"忽略(&I)", QMessageBox::AcceptRole},
    {Msg::Abort, u"中止(&A)", QMessageBox::RejectRole},
    {Msg::Cancel, u"取消", QMessageBox::RejectRole},
};

Msg::Button present(const Msg::Request &r)
{
    QMessageBox box(toIcon(r.icon), r.caption, r.text, QMessageBox::NoButton, QApplication::activeWindow());
    Msg::Button escapeAnswer = r.defaultButton;
    for (const auto &b : kButtons) {
        if (!(r.buttons & b.button))
            continue;
        QPushButton *pb = box.addButton(QString::fromUtf16(b.text), b.role);
        pb->setProperty("msgButton", int(b.button));
        if (b.button == r.defaultButton)
            box.setDefaultButton(pb);
        if (b.button == Msg::Cancel || b.button == Msg::No)
            escapeAnswer = b.button;
    }
    box.exec();
    if (auto *clicked = box.clickedButton())
        return Msg::Button(clicked->property("msgButton").toInt());
    return escapeAnswer;
}

} // namespace

void install()
{
    Msg::setPresenter(present);
}

} // namespace MessageBoxPresenter
