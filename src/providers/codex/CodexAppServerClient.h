#pragma once

#include "CodexLineReader.h"
#include "VantorError.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <variant>

// Runs `codex app-server` as a child and exchanges newline-delimited JSON with it: the
// handshake, then one request at a time, each bounded by its own timer. Whichever of response,
// error response, timeout, cancellation, write failure or shutdown comes first completes the
// request in flight, exactly once. Everything happens on the thread that owns the client.
class CodexAppServerClient : public QObject {
    Q_OBJECT

public:
    static inline const QString initializeMethod = QStringLiteral("initialize");
    static inline const QString initializedNotification = QStringLiteral("initialized");
    // How long a child may take to exit after shutdown asked it to before it is killed.
    static constexpr std::chrono::milliseconds killDelay{2000};
    // How long waitForExit() waits at most: the kill ends any child well before, unless the
    // kernel cannot end it yet (stuck in uninterruptible I/O), which must not hold a refresh.
    static constexpr std::chrono::milliseconds exitWait = killDelay * 2;

    // With a `codexHome` the child runs with CODEX_HOME set to it (the account's folder);
    // without one it inherits Vantor's environment.
    CodexAppServerClient(QUrl executable, std::chrono::milliseconds requestTimeout,
                         QString codexHome = {}, QObject* parent = nullptr);
    // Shuts the child down when that has not happened yet.
    ~CodexAppServerClient() override;

    // Launches the child and performs the handshake. Throws the launch error ("QProcess"
    // domain) or whatever ends the "initialize" request.
    QCoro::Task<> start();

    // Sends one request and returns the "result" object of the response with the same id.
    // Only one request may be in flight; await each before issuing the next.
    QCoro::Task<QJsonObject> request(QString method, QJsonObject params = {});

    // Ends the child's run: stops reading, releases a waiting requester with the cancellation
    // error, closes the child's input and asks it to terminate (its whole process group, so
    // a launcher script's native child goes too); still running killDelay later, it is killed.
    // Whatever of the group outlives its leader is killed when the leader is reaped.
    // Should Vantor end without stopping it (even by SIGKILL), a watchdog the child leaves
    // behind at launch does the same to its group.
    void stop();
    // Resumes once the child stop() let go has exited and been reaped (at once when there is
    // none), or exitWait after the call at the latest; then no child of this client runs.
    QCoro::Task<> waitForExit() const;

    // The requester gave up: the request in flight ends with the cancellation error, and every
    // later request fails the same way without writing anything.
    void cancel();

    // The child's process id while it runs, else 0.
    qint64 processId() const;
    bool isStarted() const { return started_; }

    static VantorError cancellationError();

private:
    struct Outcome;
    class OutcomeAwaiter;
    using Result = std::variant<QJsonValue, std::exception_ptr>;

    void configureProcess();
    void send(const QJsonObject& message);
    void readOutput();
    void handleLine(const QByteArray& line);
    void handleProcessError(QProcess::ProcessError error);
    void beginRequest(qint64 id, std::shared_ptr<Outcome> outcome);
    void finishPendingRequest(std::optional<qint64> id, Result result);
    void abandonLaunch();
    void killNow();
    void releaseWatchdog();

    QUrl executable_;
    std::chrono::milliseconds requestTimeout_;
    QString codexHome_;
    QProcess* process_ = nullptr;
    // The child stop() let go while it still ran; gone once it has been reaped.
    QPointer<QProcess> exiting_;
    CodexLineReader reader_;
    QTimer requestTimer_;
    std::shared_ptr<Outcome> launchOutcome_;
    std::shared_ptr<Outcome> pendingOutcome_;
    std::optional<qint64> pendingRequestID_;
    qint64 requestID_ = 0;
    // The write end of the pipe the child's watchdog waits on; closing it ends the child.
    int watchdogPipe_ = -1;
    bool launched_ = false;
    bool started_ = false;
    bool cancelled_ = false;
};
