#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QUrl>

#include <chrono>
#include <functional>

class QSslSocket;

// A throw-away certificate for 127.0.0.1, made with openssl when a test starts.
struct TestCertificate {
    QSslCertificate certificate;
    QSslKey key;

    static TestCertificate make();
    // What a client needs to trust this certificate and nothing else.
    QSslConfiguration clientConfiguration() const;
};

struct RecordedRequest {
    QByteArray method;
    QByteArray target;
    QList<QPair<QByteArray, QByteArray>> headers;

    // The value of the first header of that name (case-insensitive), or a null array.
    QByteArray header(const QByteArray& name) const;
};

// An HTTPS/1.1 server in the test process, answering every request through a script. A
// script that returns an empty array leaves the request unanswered.
class LocalHttpsServer : public QObject {
    Q_OBJECT
public:
    using Script = std::function<QByteArray(const RecordedRequest&)>;

    explicit LocalHttpsServer(const TestCertificate& certificate);

    bool listen();
    QUrl url() const;
    void setScript(Script script) { script_ = std::move(script); }
    // Sends the body of each answer one byte per interval instead of all at once.
    void setTrickle(std::chrono::milliseconds interval) { trickle_ = interval; }

    // TCP connections accepted, whether or not their TLS handshake succeeded.
    int connections() const { return connections_; }
    const QList<RecordedRequest>& requests() const { return requests_; }

    static QByteArray response(int status, const QByteArray& body = {},
                               const QList<QPair<QByteArray, QByteArray>>& headers = {});

private:
    void serve(QSslSocket* socket);

    QSslServer server_;
    Script script_;
    std::chrono::milliseconds trickle_{0};
    int connections_ = 0;
    QList<RecordedRequest> requests_;
};
