#include "LocalHttpsServer.h"

#include <QFile>
#include <QProcess>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TestCertificate TestCertificate::make() {
    QTemporaryDir dir;
    const QString keyPath = dir.filePath(QStringLiteral("key.pem"));
    const QString certPath = dir.filePath(QStringLiteral("cert.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-keyout"), keyPath, QStringLiteral("-out"), certPath,
                   QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1")});
    if (!openssl.waitForFinished(30'000)) {
        openssl.kill();
        openssl.waitForFinished();
        return TestCertificate{QSslCertificate(QByteArray(), QSsl::Pem), QSslKey()};
    }
    return TestCertificate{QSslCertificate(readFile(certPath), QSsl::Pem),
                           QSslKey(readFile(keyPath), QSsl::Ec, QSsl::Pem)};
}

QSslConfiguration TestCertificate::clientConfiguration() const {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates({certificate});
    return configuration;
}

QByteArray RecordedRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return {};
}

LocalHttpsServer::LocalHttpsServer(const TestCertificate& certificate) {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate.certificate);
    configuration.setPrivateKey(certificate.key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    server_.setSslConfiguration(configuration);
    connect(&server_, &QSslServer::startedEncryptionHandshake, this, [this] { ++connections_; });
    connect(&server_, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (server_.hasPendingConnections()) {
            if (auto* socket = qobject_cast<QSslSocket*>(server_.nextPendingConnection())) {
                serve(socket);
            }
        }
    });
}

bool LocalHttpsServer::listen() {
    return server_.listen(QHostAddress::LocalHost);
}

QUrl LocalHttpsServer::url() const {
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(server_.serverPort());
    url.setPath(QStringLiteral("/api/oauth/usage"));
    return url;
}

QByteArray LocalHttpsServer::response(int status, const QByteArray& body,
                                      const QList<QPair<QByteArray, QByteArray>>& headers) {
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\n";
    bool hasLength = false;
    for (const auto& [name, value] : headers) {
        text += name + ": " + value + "\r\n";
        hasLength = hasLength || name.compare("Content-Length", Qt::CaseInsensitive) == 0;
    }
    if (!hasLength) {
        text += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    }
    text += "Connection: close\r\n\r\n";
    return text + body;
}

void LocalHttpsServer::serve(QSslSocket* socket) {
    socket->setParent(this);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QSslSocket::readyRead, this, [this, socket, buffer] {
        *buffer += socket->readAll();
        const qsizetype end = buffer->indexOf("\r\n\r\n");
        if (end < 0) {
            return;
        }
        const QList<QByteArray> lines = buffer->left(end).split('\n');
        buffer->clear();
        RecordedRequest request;
        const QList<QByteArray> start = lines.value(0).trimmed().split(' ');
        request.method = start.value(0);
        request.target = start.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0) {
                request.headers.append({lines[i].left(colon), lines[i].mid(colon + 1).trimmed()});
            }
        }
        requests_.append(request);
        const QByteArray answer = script_ ? script_(request) : response(200, "{}");
        if (answer.isEmpty()) {
            return;
        }
        if (trickle_.count() == 0) {
            socket->write(answer);
            socket->disconnectFromHost();
            return;
        }
        // The head goes at once, the body byte by byte.
        auto sent = std::make_shared<qsizetype>(answer.indexOf("\r\n\r\n") + 4);
        socket->write(answer.left(*sent));
        auto* timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket, timer, answer, sent] {
            socket->write(answer.mid((*sent)++, 1));
            if (*sent == answer.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(trickle_);
    });
}
