#include "BodyInflater.h"

#include <zlib.h>

namespace {

std::optional<QByteArray> inflateWith(const QByteArray &data, int windowBits, qint64 maxBytes)
{
    z_stream zs{};
    if (inflateInit2(&zs, windowBits) != Z_OK)
        return std::nullopt;
    QByteArray out;
    char buffer[32768];
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    int rc = Z_OK;
    do {
        zs.next_out = reinterpret_cast<Bytef *>(buffer);
        zs.avail_out = sizeof buffer;
        rc = inflate(&zs, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) {
            inflateEnd(&zs);
            return std::nullopt;
        }
        out.append(buffer, qsizetype(sizeof buffer - zs.avail_out));
        if (out.size() > maxBytes) {
            inflateEnd(&zs);
            return std::nullopt;
        }
        if (rc == Z_OK && zs.avail_in == 0 && zs.avail_out != 0) {
            // The input ended before the stream did.
            inflateEnd(&zs);
            return std::nullopt;
        }
    } while (rc != Z_STREAM_END);
    inflateEnd(&zs);
    return out;
}

} // namespace

bool BodyInflater::LooksGzip(const QByteArray &body)
{
    return body.size() >= 2 && uchar(body[0]) == 0x1F && uchar(body[1]) == 0x8B;
}

std::optional<QByteArray> BodyInflater::Inflate(const QByteArray &data, qint64 maxBytes, bool allowRaw)
{
    if (data.isEmpty() || qint64(data.size()) > qint64(UINT32_MAX))
        return std::nullopt;
    // 15 + 32: a gzip or a zlib header, whichever the data has.
    if (auto out = inflateWith(data, 15 + 32, maxBytes))
        return out;
    if (allowRaw)
        return inflateWith(data, -15, maxBytes);
    return std::nullopt;
}
