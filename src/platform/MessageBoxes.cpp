#include "MessageBoxes.h"

#include <QMutex>
#include <QMutexLocker>
#include <cstdio>
#include <map>

namespace Msg {
namespace {

struct State {
    QMutex lock;
    Presenter presenter;
    std::map<int, Observer> observers;
    int nextObserver = 1;
    QString title;
};

State &state()
{
    static State s;
    return s;
}

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    return text;
}

} // namespace

void setPresenter(Presenter presenter)
{
    QMutexLocker l(&state().lock);
    state().presenter = std::move(presenter);
}

bool unattended()
{
    return qEnvironmentVariableIntValue("OSTREL_UNATTENDED") == 1;
}

int addObserver(Observer observer)
{
    QMutexLocker l(&state().lock);
    const int id = state().nextObserver++;
    state().observers.emplace(id, std::move(observer));
    return id;
}

void removeObserver(int id)
{
    QMutexLocker l(&state().lock);
    state().observers.erase(id);
}

void setApplicationTitle(const QString &title)
{
    QMutexLocker l(&state().lock);
    state().title = title;
}

QString applicationTitle()
{
    QMutexLocker l(&state().lock);
    return state().title;
}

Button show(const Request &in)
{
    Request request = in;
    if (request.caption.isEmpty())
        request.caption = applicationTitle();
    Presenter presenter;
    std::map<int, Observer> observers;
    {
        QMutexLocker l(&state().lock);
        presenter = state().presenter;
        observers = state().observers;
    }
    for (auto &[id, observer] : observers)
        observer(request);
    if (unattended() || !presenter) {
        const QByteArray line = QStringLiteral("MessageBox: %1: %2\n")
                                    .arg(oneLine(request.caption), oneLine(request.text))
                                    .toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
        return request.defaultButton;
    }
    return presenter(request);
}

void warning(const QString &text, const QString &caption)
{
    show({caption, text, Icon::Warning, Ok, Ok});
}

void error(const QString &text, const QString &caption)
{
    show({caption, text, Icon::Error, Ok, Ok});
}

void information(const QString &text, const QString &caption)
{
    show({caption, text, Icon::Information, Ok, Ok});
}

bool confirm(const QString &text, const QString &caption, Button defaultButton)
{
    return show({caption, text, Icon::Question, Yes | No, defaultButton}) == Yes;
}

Button question(const QString &text, const QString &caption, Buttons buttons, Button defaultButton, Icon icon)
{
    return show({caption, text, icon, buttons, defaultButton});
}

} // namespace Msg
