#include "LoginPage.h"

#include "GbkText.h"

#include <QCryptographicHash>

namespace {

QByteArray keyStream(const QString &nonce, qsizetype length)
{
    QByteArray stream;
    for (int block = 0; stream.size() < length; ++block)
        stream += QCryptographicHash::hash((nonce + u'#' + QString::number(block)).toUtf8(),
                                           QCryptographicHash::Sha256);
    return stream.left(length);
}

// The script of the page. It has to run in any browser engine the client may
// use, so it keeps to plain ES5.
const char kScript[] = R"JS(
function sbRotate(v, n) { return (v >>> n) | (v << (32 - n)); }
function sbSha256(str) {
  var i, j, n, K = [], H = [], count = 0;
  for (n = 2; count < 64; n++) {
    var prime = true;
    for (j = 2; j * j <= n; j++) { if (n % j == 0) { prime = false; break; } }
    if (!prime) continue;
    if (count < 8) H[count] = (Math.pow(n, 1 / 2) * 4294967296) | 0;
    K[count] = (Math.pow(n, 1 / 3) * 4294967296) | 0;
    count++;
  }
  var bytes = [];
  for (i = 0; i < str.length; i++) bytes.push(str.charCodeAt(i) & 255);
  var bitLen = bytes.length * 8;
  bytes.push(128);
  while (bytes.length % 64 != 56) bytes.push(0);
  bytes.push(0, 0, 0, 0, (bitLen >>> 24) & 255, (bitLen >>> 16) & 255, (bitLen >>> 8) & 255, bitLen & 255);
  var h = H.slice(0), w = [];
  for (i = 0; i < bytes.length; i += 64) {
    for (j = 0; j < 16; j++)
      w[j] = (bytes[i + 4 * j] << 24) | (bytes[i + 4 * j + 1] << 16) | (bytes[i + 4 * j + 2] << 8) | bytes[i + 4 * j + 3];
    for (j = 16; j < 64; j++) {
      var s0 = sbRotate(w[j - 15], 7) ^ sbRotate(w[j - 15], 18) ^ (w[j - 15] >>> 3);
      var s1 = sbRotate(w[j - 2], 17) ^ sbRotate(w[j - 2], 19) ^ (w[j - 2] >>> 10);
      w[j] = (w[j - 16] + s0 + w[j - 7] + s1) | 0;
    }
    var a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
    for (j = 0; j < 64; j++) {
      var t1 = (k + (sbRotate(e, 6) ^ sbRotate(e, 11) ^ sbRotate(e, 25)) + ((e & f) ^ (~e & g)) + K[j] + w[j]) | 0;
      var t2 = ((sbRotate(a, 2) ^ sbRotate(a, 13) ^ sbRotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c))) | 0;
      k = g; g = f; f = e; e = (d + t1) | 0; d = c; c = b; b = a; a = (t1 + t2) | 0;
    }
    h[0] = (h[0] + a) | 0; h[1] = (h[1] + b) | 0; h[2] = (h[2] + c) | 0; h[3] = (h[3] + d) | 0;
    h[4] = (h[4] + e) | 0; h[5] = (h[5] + f) | 0; h[6] = (h[6] + g) | 0; h[7] = (h[7] + k) | 0;
  }
  var hex = "0123456789abcdef", out = "";
  for (i = 0; i < 8; i++)
    for (j = 28; j >= 0; j -= 4) out += hex.charAt((h[i] >>> j) & 15);
  return out;
}
function sbUtf8(s) { return unescape(encodeURIComponent(s)); }
function jiamiMima() {
  var f = document.forms["jhform"];
  var pwd = sbUtf8(f.LOGPASS.value);
  var stream = "";
  for (var block = 0; stream.length < pwd.length * 2; block++)
    stream += sbSha256(sbUtf8(PAGE_NONCE + "#" + block));
  var hex = "0123456789ABCDEF", out = "";
  for (var i = 0; i < pwd.length; i++) {
    var v = (pwd.charCodeAt(i) ^ parseInt(stream.substr(i * 2, 2), 16)) & 255;
    out += hex.charAt(v >> 4) + hex.charAt(v & 15);
  }
  f.LOGPASS.value = out;
  f.VOD_PWD_MAP_GIGEST.value =
      sbSha256(sbUtf8(PAGE_NONCE + "|" + f.USERID.value + "|" + out + "|" + f.PT_CONFIRM_PWD.value));
  return true;
}
)JS";

} // namespace

QByteArray LoginPage::html(const Form &form)
{
    const QString page =
        QStringLiteral("<html><head><meta charset=\"gb2312\"><title>个人外汇买卖 网上银行登录</title>\r\n"
                       "<script language=\"javascript\">\r\nvar PAGE_NONCE = \"%1\";\r\n")
            .arg(form.nonce)
        + QString::fromLatin1(kScript)
        + QStringLiteral(
              "</script></head>\r\n<body bgcolor=\"#E1E1E1\">\r\n"
              "<form name=\"jhform\" method=\"get\" action=\"%1\" onsubmit=\"return jiamiMima();\">\r\n"
              "<input type=\"hidden\" name=\"PT_STYLE\" value=\"9\">"
              "<input type=\"hidden\" name=\"TXCODE\" value=\"100101\">\r\n"
              "<table align=\"center\">\r\n"
              "<tr><td>证件号码/昵称：</td><td><input type=\"text\" name=\"USERID\" maxlength=\"50\"></td></tr>\r\n"
              "<tr><td>登录密码：</td><td><input type=\"password\" name=\"LOGPASS\" maxlength=\"50\"></td></tr>\r\n"
              "<tr><td>附加码：</td><td><input type=\"text\" name=\"PT_CONFIRM_PWD\" maxlength=\"8\">"
              "<img name=\"fujiama\" id=\"fujiama\" src=\"%2\" width=\"80\" height=\"40\"></td></tr>\r\n"
              "<tr><td colspan=\"2\"><input type=\"hidden\" name=\"VOD_PWD_MAP_GIGEST\" value=\"\">"
              "<input type=\"submit\" value=\"登 录\"></td></tr>\r\n"
              "</table></form></body></html>\r\n")
              .arg(form.actionUrl, form.pictureUrl);
    return GbkText::encode(page);
}

QString LoginPage::protectPassword(const QString &nonce, const QString &password)
{
    const QByteArray plain = password.toUtf8();
    const QByteArray key = keyStream(nonce, plain.size());
    QByteArray out(plain.size(), '\0');
    for (qsizetype i = 0; i < plain.size(); ++i)
        out[i] = static_cast<char>(plain[i] ^ key[i]);
    return QString::fromLatin1(out.toHex().toUpper());
}

QString LoginPage::digest(const QString &nonce, const QString &loginNumber,
                          const QString &protectedPassword, const QString &code)
{
    const QString text = nonce + u'|' + loginNumber + u'|' + protectedPassword + u'|' + code;
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool LoginPage::recoverPassword(const QString &nonce, const QString &protectedPassword,
                                QString *password)
{
    if (protectedPassword.size() % 2 != 0 || protectedPassword.size() > 512)
        return false;
    for (QChar c : protectedPassword)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    const QByteArray bytes = QByteArray::fromHex(protectedPassword.toLatin1());
    const QByteArray key = keyStream(nonce, bytes.size());
    QByteArray plain(bytes.size(), '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        plain[i] = static_cast<char>(bytes[i] ^ key[i]);
    *password = QString::fromUtf8(plain);
    return true;
}
