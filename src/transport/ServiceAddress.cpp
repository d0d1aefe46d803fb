#include "transport/ServiceAddress.h"

#include "core/RuntimeError.h"

#include <curl/curl.h>

#include <utility>

namespace palletry {
namespace {

struct UrlParts
{
    CURLU* handle = curl_url();
    ~UrlParts() { curl_url_cleanup(handle); }
    bool has(CURLUPart part) const
    {
        char* value = nullptr;
        const bool present = curl_url_get(handle, part, &value, 0) == CURLUE_OK && value && *value;
        curl_free(value);
        return present;
    }
};

bool hasHttpScheme(const QString& url)
{
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// Where the authority as written starts: after "scheme://" (or at the start), and its length
// up to the path, query or fragment.
std::pair<qsizetype, qsizetype> rawAuthority(const QString& url)
{
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    const qsizetype from = scheme < 0 ? 0 : scheme + 3;
    qsizetype end = from;
    while (end < url.size() && !QStringLiteral("/?#\\").contains(url.at(end)))
        ++end;
    return {from, end - from};
}

// Both the text as written and libcurl's reading of it: whichever finds user information wins.
bool holdsUserInfo(const QString& url)
{
    const auto [from, length] = rawAuthority(url);
    if (url.mid(from, length).contains(QLatin1Char('@')))
        return true;
    UrlParts parts;
    if (!parts.handle || curl_url_set(parts.handle, CURLUPART_URL, url.toUtf8().constData(), 0) != CURLUE_OK)
        return false;
    return parts.has(CURLUPART_USER) || parts.has(CURLUPART_PASSWORD) || parts.has(CURLUPART_OPTIONS);
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
    if (holdsUserInfo(url))
        return refused(QStringLiteral("The service address holds a user name or password"), url);
    if (!hasHttpScheme(url))
        return refused(QStringLiteral("The service address does not begin with http:// or https://"), url);
    return std::nullopt;
}

QString ServiceAddress::forReport(const QString& url)
{
    const auto [from, length] = rawAuthority(url);
    const qsizetype at = url.mid(from, length).lastIndexOf(QLatin1Char('@'));
    QString out = url;
    if (at >= 0)
        out.remove(from, at + 1);
    // Whatever libcurl would still read as user information goes as well.
    if (!holdsUserInfo(out))
        return out;
    return QStringLiteral("(an address with user information, not shown)");
}

} // namespace palletry
