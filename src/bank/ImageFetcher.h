#pragma once
// The image fetch of the login window (the verification picture): a GET
// with the session's cookies, the body stored in a file. It travels with
// the session cookies, so its certificates are verified like every other
// bank request (no check is ever switched off).
//
// The fetch gives up when BankTiming::FetchStallLimitMs passes without
// progress (counted from the start and again from every chunk received).
// A gzip- or zlib-compressed body is stored inflated. While it waits no
// user input is handled and no bank transaction can start. GUI thread only.

#include <QString>

class ImageFetcher
{
public:
    // Raises EConnectError for every failure (empty or bad address, no
    // connection, HTTP error status, time-out, TLS failure, a compressed
    // body that does not inflate, a file that cannot be written) and
    // EResponseError when a bank transaction is in progress.
    static void FetchToFile(const QString &url, const QString &path);
};
