// Any bytes a server might answer with go through the HTTP answer parser in
// pieces, then the page text is made from whatever the parser produced
// (with its content decoding). Nothing may crash or hang.

#include "BankBrowser.h"
#include "BankCookieJar.h"
#include "BankNetwork.h"
#include "BankHttpRequest.h"
#include "SharedInstances.h"

#include <QCoreApplication>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool done = false;
    if (!done) {
        done = true;
        static int argc = 1;
        static char arg0[] = "fuzz";
        static char *argv[] = {arg0, nullptr};
        new QCoreApplication(argc, argv);
        SharedInstances::Create();
    }
    if (size == 0)
        return 0;
    // The first byte sets the piece size the answer arrives in.
    const qsizetype piece = 1 + data[0] % 64;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    BankHttpRequest request(QUrl(QStringLiteral("http://127.0.0.1:1/app/vodMain?PT_STYLE=9")));
    for (qsizetype at = 0; at < bytes.size() && !request.isFinished(); at += piece)
        request.FeedAnswer(bytes.mid(at, piece));
    request.FeedEnd();
    const BankBrowser::Outcome outcome = BankBrowser::OutcomeOf(request);
    (void)BankBrowser::PageOfReply(request, outcome);
    // Cookies the answers set would pile up across runs.
    BankNetwork::CookieJar()->Clear();
    return 0;
}
