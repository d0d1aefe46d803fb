#include "transport/ServiceAddress.h"

#include "core/RuntimeError.h"

#include <algorithm>

namespace palletry {
namespace {

bool hasHttpScheme(const QString& url)
{
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// Where a user name could begin: after a scheme ("letters:" followed by a slash or
// backslash) and the run of slashes and backslashes after it, else after the leading
// run alone. Text before a colon that no slash follows ("clerk:s3cret@host") is no scheme.
qsizetype authorityStart(const QString& url)
{
    qsizetype from = 0;
    const qsizetype colon = url.indexOf(QLatin1Char(':'));
    if (colon > 0 && colon + 1 < url.size() && isSeparator(url.at(colon + 1))) {
        bool scheme = url.at(0).isLetter() && url.at(0).unicode() < 0x80;
        for (qsizetype i = 1; scheme && i < colon; ++i) {
            const QChar c = url.at(i);
            scheme = (c.unicode() < 0x80 && c.isLetterOrNumber()) || QStringLiteral("+-.").contains(c);
        }
        if (scheme)
            from = colon + 1;
    }
    while (from < url.size() && isSeparator(url.at(from)))
        ++from;
    return from;
}

// "@" and its look-alikes (FULLWIDTH and SMALL COMMERCIAL AT): a resolver or a
// library that folds them to "@" would read what comes before as a user name.
bool isAt(QChar c)
{
    return c == QLatin1Char('@') || c == QChar(0xFF20) || c == QChar(0xFE6B);
}

qsizetype firstAt(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isAt(text.at(i)))
            return i;
    return -1;
}

qsizetype lastAt(const QString& text)
{
    for (qsizetype i = text.size() - 1; i >= 0; --i)
        if (isAt(text.at(i)))
            return i;
    return -1;
}

ErrorRecord refused(const QString& why, const QString& url)
{
    return ErrorRecord{static_cast<qint32>(RuntimeErrorCode::InvalidProcedureCall),
                       why + QStringLiteral("; nothing was sent: ") + ServiceAddress::forReport(url),
                       QString::fromLatin1(ProjectName)};
}

} // namespace

std::optional<ErrorRecord> ServiceAddress::refusal(const QString& url)
{
    // Any "@", not only one before the path: a password holding "/", "?", "#" or "\"
    // ("http://clerk:12/34@host") reads to libcurl as host "clerk", port 12 and a path,
    // and would go out in the clear to that host. The service's address needs none
    // ("%40" where one is meant).
    if (firstAt(url) >= 0)
        return refused(QStringLiteral("The service address holds a user name or password"), url);
    if (!hasHttpScheme(url))
        return refused(QStringLiteral("The service address does not begin with http:// or https://"), url);
    return std::nullopt;
}

QString ServiceAddress::forReport(const QString& url)
{
    // Everything between where a user name could begin and the last "@" could be a user
    // name or a password, whatever separators it holds: it is replaced, the host after it stays.
    const qsizetype at = lastAt(url);
    if (at < 0)
        return url;
    const qsizetype from = std::min(authorityStart(url), at);
    return url.left(from) + QStringLiteral("***") + url.mid(at);
}

QString ServiceAddress::quotedForReport(const QString& text)
{
    const qsizetype first = firstAt(text);
    if (first < 0)
        return text;
    // The quoted address runs from the first quotation mark to the first one after the last
    // "@" (a password may hold quotation marks too); without one, the whole text is the address.
    const qsizetype open = text.indexOf(QLatin1Char('\''));
    const qsizetype from = open >= 0 && open < first ? open + 1 : 0;
    const qsizetype close = text.indexOf(QLatin1Char('\''), lastAt(text));
    const qsizetype to = close >= 0 ? close : text.size();
    return text.left(from) + forReport(text.mid(from, to - from)) + text.mid(to);
}

QString serviceUrlFor(const QString& server, QLatin1String path)
{
    QString url = server;
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    // A server on IIS answers its paths in any letter case, so the full address may come in any.
    if (url.endsWith(path, Qt::CaseInsensitive))
        return url;
    return url + path;
}

} // namespace palletry
