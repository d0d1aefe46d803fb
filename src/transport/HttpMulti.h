#pragma once

#include <QObject>
#include <QTimer>

#include <map>

class QSocketNotifier;

namespace palletry {

class HttpExchange;

/**
 * The transfers of one control, run by libcurl's multi interface on the
 * thread's event loop: socket notifiers and a timer tell libcurl when to go on,
 * so no thread waits for the network and nothing outlives the control.
 * Cancelling or destroying a transfer removes its handle; destroying this ends
 * every transfer still running without telling anybody.
 */
class HttpMulti : public QObject
{
    Q_OBJECT

public:
    HttpMulti();
    ~HttpMulti() override;

    /// Starts @p exchange's prepared handle; false when libcurl refused it (nothing was sent).
    bool add(HttpExchange& exchange);
    /// Takes @p exchange's handle out, whether it finished or not.
    void remove(HttpExchange& exchange);

private:
    static int onSocket(void* easy, int socket, int what, void* self, void* socketData);
    static int onTimer(void* multi, long timeoutMs, void* self);
    void act(int socket, int events);
    void finishDone();
    void watch(int socket, int what);

    void* m_multi;
    QTimer m_timer;
    struct Watch
    {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };
    std::map<int, Watch> m_sockets;
};

} // namespace palletry
