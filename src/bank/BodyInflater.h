#pragma once
// Inflates gzip- and zlib-compressed HTTP bodies with zlib.

#include <QByteArray>
#include <optional>

class BodyInflater
{
public:
    // True when the body starts with the gzip signature 1F 8B.
    static bool LooksGzip(const QByteArray &body);
    // The inflated bytes of a gzip or zlib stream (raw deflate too when
    // `allowRaw`); nullopt when the data is not such a stream, is cut
    // short, or would inflate beyond `maxBytes`.
    static std::optional<QByteArray> Inflate(const QByteArray &data, qint64 maxBytes, bool allowRaw = false);
};
