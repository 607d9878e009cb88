#include "AnswerCheck.h"

#include "AnswerDocument.h"

namespace {

struct Phrase {
    const char16_t *phrase;
    const char16_t *message;
};

const Phrase kPhrases[] = {
    {u"两次提交时间间隔太短", u"用户两次提交时间间隔太短，请稍后提交！"},
    {u"用户空闲超时自动退出", u"用户空闲超时自动退出,请关闭软件,重新登录使用."},
    {u"附加码错误", u"附加码错误,请检查您的输入."},
    {u"该页无法显示", u"返回信息为服务器暂时不能访问,原因可能是网银服务器忙或网络故障,请稍后再试!"},
};

QString trimLow(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

} // namespace

EResponseError AnswerCheck::TransportFailure(const QString &pageText)
{
    for (const Phrase &p : kPhrases)
        if (pageText.contains(QString::fromUtf16(p.phrase)))
            return EResponseError(QString::fromUtf16(p.message));
    return EResponseError(QStringLiteral("网络通讯故障，请稍后再试！"));
}

void AnswerCheck::CheckAnswer(const AnswerDocument &doc)
{
    const AnswerElement *root = doc.Root();
    if (!root)
        throw TransportFailure(doc.PageText());
    const AnswerElement *error = root->Child(u"ERROR");
    if (!error)
        return;
    QString lines;
    if (const AnswerElement *list = error->Child(u"ERRORLIST")) {
        for (const auto &line : list->Children()) {
            QString t = trimLow(line->Text());
            t.remove(QLatin1Char('\t'));
            lines += QLatin1Char('\r');
            lines += t;
        }
    }
    throw EResponseError(QStringLiteral("信息提示") + QLatin1Char('\r') + lines);
}
