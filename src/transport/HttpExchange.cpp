#include "transport/HttpExchange.h"

#include <curl/curl.h>

#include "transport/HttpMulti.h"

#include <mutex>

namespace palletry {
namespace {

// One header line for curl's list; an empty value needs "Name;" or curl drops the header.
std::string headerLine(const char* name, const QByteArray& value)
{
    std::string line(name);
    if (value.isEmpty())
        return line + ';';
    line += ": ";
    line.append(value.constData(), static_cast<std::size_t>(value.size()));
    return line;
}

void addHeader(curl_slist*& list, const std::string& line)
{
    curl_slist* grown = curl_slist_append(list, line.c_str());
    if (!grown)
        throw std::bad_alloc();
    list = grown;
}

// Non-zero ends the transfer with CURLE_ABORTED_BY_CALLBACK.
int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const HttpExchange*>(self)->cancelRequested() ? 1 : 0;
}

} // namespace

HttpExchange::HttpExchange(HttpLimits limits)
    : m_limits(limits)
{
    globalInit();
}

HttpExchange::~HttpExchange()
{
    release();
}

void HttpExchange::globalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void HttpExchange::release()
{
    if (m_multi)
        m_multi->remove(*this);
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL*>(m_curl));
    m_curl = nullptr;
    curl_slist_free_all(m_headers);
    m_headers = nullptr;
}

QByteArray HttpExchange::hostHeaderFor(const QByteArray& url)
{
    globalInit();
    CURLU* parts = curl_url();
    if (!parts)
        return {};
    QByteArray host;
    char* h = nullptr;
    char* scheme = nullptr;
    char* port = nullptr;
    if (curl_url_set(parts, CURLUPART_URL, url.constData(), 0) == CURLUE_OK
        && curl_url_get(parts, CURLUPART_HOST, &h, 0) == CURLUE_OK) {
        host = h;
        curl_url_get(parts, CURLUPART_SCHEME, &scheme, 0);
        if (curl_url_get(parts, CURLUPART_PORT, &port, 0) == CURLUE_OK && port) {
            const QByteArray s = scheme ? QByteArray(scheme).toLower() : QByteArray();
            const QByteArray p(port);
            const bool defaultPort = (s == "http" && p == "80") || (s == "https" && p == "443");
            if (!defaultPort)
                host += ':' + p;
        }
    }
    curl_free(h);
    curl_free(scheme);
    curl_free(port);
    curl_url_cleanup(parts);
    return host;
}

std::size_t HttpExchange::onWrite(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* exchange = static_cast<HttpExchange*>(self);
    const std::size_t bytes = size * count;
    const qint64 total = qint64(exchange->m_reply.size()) + qint64(bytes);
    if (total > exchange->m_limits.maxReplyBytes) {
        // Replies without an announced length are only bounded here.
        exchange->m_tooLarge = true;
        return 0;
    }
    if (exchange->m_reply.isEmpty()) {
        curl_off_t announced = -1;
        if (curl_easy_getinfo(static_cast<CURL*>(exchange->m_curl), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced)
                == CURLE_OK
            && announced > 0 && announced <= exchange->m_limits.maxReplyBytes)
            exchange->m_reply.reserve(static_cast<qsizetype>(announced));
    }
    exchange->m_reply.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

std::size_t HttpExchange::onHeader(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* exchange = static_cast<HttpExchange*>(self);
    const std::size_t bytes = size * count;
    QByteArray line(data, static_cast<qsizetype>(bytes));
    if (line.startsWith("HTTP/")) {
        // A new response (after an interim one such as 100 Continue) starts over.
        exchange->m_statusLine = QString::fromLatin1(line.trimmed());
        exchange->m_reply.clear();
    }
    return bytes;
}

bool HttpExchange::cancelled() const
{
    return m_curlCode == CURLE_ABORTED_BY_CALLBACK && m_cancelRequested.load();
}

bool HttpExchange::prepare(const QByteArray& url, const QByteArray& soapAction, std::string body)
{
    release();
    start(std::move(body));
    if (soapAction.contains('\r') || soapAction.contains('\n')) {
        m_curlCode = CURLE_BAD_FUNCTION_ARGUMENT;
        m_curlError = QStringLiteral("The SOAP action holds a line break and cannot be sent as a header");
        return false;
    }
    // A handle per request, cleaned up right after it: no connection outlives the call.
    m_curl = curl_easy_init();
    if (!m_curl) {
        m_curlCode = CURLE_FAILED_INIT;
        m_curlError = QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT));
        return false;
    }
    addHeader(m_headers, headerLine("Host", hostHeaderFor(url)));
    addHeader(m_headers, "Content-Type: text/xml; charset=utf-8");
    addHeader(m_headers, "Content-Length: " + std::to_string(m_request.size()));
    addHeader(m_headers, headerLine("SOAPAction", soapAction));
    // Headers libcurl would add on its own.
    addHeader(m_headers, "Accept:");
    addHeader(m_headers, "Expect:");
    m_errorBuffer[0] = '\0';
    m_url = url;
    configure(m_curl, m_url, m_headers, m_errorBuffer);
    return true;
}

bool HttpExchange::post(const QByteArray& url, const QByteArray& soapAction, std::string body)
{
    if (!prepare(url, soapAction, std::move(body)))
        return false;
    const CURLcode result = m_cancelRequested.load() ? CURLE_ABORTED_BY_CALLBACK : curl_easy_perform(m_curl);
    finish(m_curl, result, m_errorBuffer);
    release();
    return complete();
}

bool HttpExchange::begin(HttpMulti& multi, const QByteArray& url, const QByteArray& soapAction, std::string body,
                         std::function<void()> ended)
{
    if (!prepare(url, soapAction, std::move(body)))
        return false;
    curl_easy_setopt(m_curl, CURLOPT_PRIVATE, this);
    if (!multi.add(*this)) {
        m_curlCode = CURLE_FAILED_INIT;
        m_curlError = QStringLiteral("The transfer could not be started");
        release();
        return false;
    }
    m_ended = std::move(ended);
    return true;
}

void HttpExchange::transferEnded(int result)
{
    finish(m_curl, result, m_errorBuffer);
    release();
    if (auto ended = std::exchange(m_ended, {}))
        ended();
}

void HttpExchange::cancel()
{
    m_cancelRequested.store(true);
    if (m_multi) {
        // Running on the event loop: taking the handle out is the cancel.
        transferEnded(CURLE_ABORTED_BY_CALLBACK);
    } else if (!m_curl) {
        // Never started: it ends here, as cancelled, with nothing sent.
        m_curlCode = CURLE_ABORTED_BY_CALLBACK;
    }
}

void HttpExchange::start(std::string body)
{
    m_request = std::move(body);
    m_reply.clear();
    m_statusLine.clear();
    m_curlError.clear();
    m_statusCode = 0;
    m_curlCode = -1;
    m_tooLarge = false;
}

void HttpExchange::configure(void* handle, const QByteArray& url, curl_slist* headers, char* errorBuffer)
{
    CURL* curl = static_cast<CURL*>(handle);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, m_request.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(m_request.size()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(m_limits.connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(m_limits.totalTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_limits.maxReplyBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &HttpExchange::onWrite);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &HttpExchange::onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    // Asked about once a second at least, and at every block of data: how soon a cancel takes.
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    if (!m_limits.caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, m_limits.caFile.constData());
    if (!m_limits.proxy.isEmpty())
        curl_easy_setopt(curl, CURLOPT_PROXY, m_limits.proxy.constData());
}

void HttpExchange::finish(void* handle, int result, const char* errorBuffer)
{
    m_curlCode = result;
    long status = 0;
    curl_easy_getinfo(static_cast<CURL*>(handle), CURLINFO_RESPONSE_CODE, &status);
    m_statusCode = static_cast<int>(status);
    if (result == CURLE_OK)
        return;
    if (m_tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        m_tooLarge = true;
        m_curlError = QStringLiteral("The reply is larger than %1 bytes").arg(m_limits.maxReplyBytes);
    } else {
        m_curlError = QString::fromUtf8(*errorBuffer ? errorBuffer : curl_easy_strerror(CURLcode(result)));
    }
}

} // namespace palletry
