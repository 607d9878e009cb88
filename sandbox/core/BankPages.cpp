#include "BankPages.h"

#include "GbkText.h"

namespace {

QByteArray html(const QString &title, const QString &message)
{
    const QString text = QStringLiteral(
                             "<html><head><meta charset=\"gb2312\"><title>%1</title></head>"
                             "<body><table align=\"center\"><tr><td><font color=\"#CC0000\">%2</font>"
                             "</td></tr></table></body></html>")
                             .arg(title, message);
    return GbkText::encode(text);
}

} // namespace

QByteArray BankPages::page(Kind kind)
{
    switch (kind) {
    case Kind::TooQuick:
        return html(QStringLiteral("提示信息"), QStringLiteral("用户两次提交时间间隔太短，请稍后再提交！"));
    case Kind::IdleTimeout:
        return html(QStringLiteral("提示信息"), QStringLiteral("用户空闲超时自动退出，请重新登录！"));
    case Kind::WrongCode:
        return html(QStringLiteral("提示信息"), QStringLiteral("附加码错误，请返回重新输入！"));
    case Kind::Unavailable:
        return html(QStringLiteral("无法显示网页"), QStringLiteral("该页无法显示"));
    case Kind::ServerError:
        break;
    }
    return html(QStringLiteral("服务器错误"), QStringLiteral("服务器内部错误，请稍后再试。"));
}

bool BankPages::kindFromName(const QString &name, Kind *kind)
{
    static const struct { const char *name; Kind kind; } table[] = {
        {"interval", Kind::TooQuick},   {"timeout", Kind::IdleTimeout}, {"code", Kind::WrongCode},
        {"unavailable", Kind::Unavailable}, {"server", Kind::ServerError},
    };
    for (const auto &e : table) {
        if (name == QLatin1String(e.name)) {
            *kind = e.kind;
            return true;
        }
    }
    return false;
}
