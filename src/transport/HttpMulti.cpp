#include "transport/HttpMulti.h"

#include "transport/HttpExchange.h"

#include <QPointer>
#include <QSocketNotifier>

#include <curl/curl.h>

#include <vector>

namespace palletry {
namespace {

void drop(QSocketNotifier*& notifier)
{
    if (!notifier)
        return;
    // Possibly inside its own activation: let the event loop delete it.
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
}

} // namespace

HttpMulti::HttpMulti()
    : m_multi(curl_multi_init())
{
    HttpExchange::globalInit();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    if (m_multi) {
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &HttpMulti::onSocket);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &HttpMulti::onTimer);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    }
}

HttpMulti::~HttpMulti()
{
    // Exchanges still running are cut off: their handles leave before the multi handle goes.
    for (auto& [socket, watch] : m_sockets) {
        delete watch.read;
        delete watch.write;
    }
    m_sockets.clear();
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

bool HttpMulti::add(HttpExchange& exchange)
{
    if (!m_multi || curl_multi_add_handle(m_multi, exchange.handle()) != CURLM_OK)
        return false;
    exchange.setMulti(this);
    return true;
}

void HttpMulti::remove(HttpExchange& exchange)
{
    if (m_multi && exchange.handle())
        curl_multi_remove_handle(m_multi, exchange.handle());
    exchange.setMulti(nullptr);
}

int HttpMulti::onSocket(void*, int socket, int what, void* self, void*)
{
    static_cast<HttpMulti*>(self)->watch(socket, what);
    return 0;
}

int HttpMulti::onTimer(void*, long timeoutMs, void* self)
{
    auto* multi = static_cast<HttpMulti*>(self);
    if (timeoutMs < 0)
        multi->m_timer.stop();
    else
        multi->m_timer.start(int(qMin(timeoutMs, long(24 * 3600 * 1000))));
    return 0;
}

void HttpMulti::watch(int socket, int what)
{
    Watch& watch = m_sockets[socket];
    if (what == CURL_POLL_REMOVE) {
        drop(watch.read);
        drop(watch.write);
        m_sockets.erase(socket);
        return;
    }
    const bool wantRead = what == CURL_POLL_IN || what == CURL_POLL_INOUT;
    const bool wantWrite = what == CURL_POLL_OUT || what == CURL_POLL_INOUT;
    if (wantRead && !watch.read) {
        watch.read = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        connect(watch.read, &QSocketNotifier::activated, this, [this, socket] { act(socket, CURL_CSELECT_IN); });
    } else if (!wantRead) {
        drop(watch.read);
    }
    if (wantWrite && !watch.write) {
        watch.write = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        connect(watch.write, &QSocketNotifier::activated, this, [this, socket] { act(socket, CURL_CSELECT_OUT); });
    } else if (!wantWrite) {
        drop(watch.write);
    }
}

void HttpMulti::act(int socket, int events)
{
    int running = 0;
    curl_multi_socket_action(m_multi, curl_socket_t(socket), events, &running);
    finishDone();
}

void HttpMulti::finishDone()
{
    // Collected first: finishing one tells its owner, who may start or drop others.
    std::vector<std::pair<HttpExchange*, int>> done;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        char* owner = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &owner);
        done.emplace_back(reinterpret_cast<HttpExchange*>(owner), int(message->data.result));
    }
    for (const auto& [exchange, result] : done) {
        remove(*exchange);
        exchange->transferEnded(result);
    }
}

} // namespace palletry
