#include "CodexAppServerClient.h"

#include "ExecutableSearch.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QProcessEnvironment>

#include <cerrno>
#include <cmath>
#include <coroutine>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

const QString processDomain = QStringLiteral("QProcess");
const QString rpcDomain = QStringLiteral("CodexRPC");
const QString idKey = QStringLiteral("id");
const QString methodKey = QStringLiteral("method");
const QString paramsKey = QStringLiteral("params");

// QStringLiteral inside a coroutine body trips g++ 12 ("array used as initializer").
QJsonObject initializeParams() {
    const QJsonObject clientInfo{{QStringLiteral("name"), QStringLiteral("Vantor")},
                                 {QStringLiteral("version"), QStringLiteral("1.0")}};
    return QJsonObject{{QStringLiteral("clientInfo"), clientInfo}};
}
// An error message is shown and logged; a runaway one is cut to this many characters.
constexpr qsizetype maxErrorText = 2000;

// Signals the child's whole process group (it leads one of its own), falling back to the
// child alone should it not.
void signalChild(qint64 pid, int signalNumber) {
    if (pid <= 0) {
        return;
    }
    const auto id = static_cast<pid_t>(pid);
    if (::kill(-id, signalNumber) != 0) {
        ::kill(id, signalNumber);
    }
}

// How often a watchdog looks whether the group it asked to end has lost its leader.
constexpr long watchdogStepMs = 50;

// closeAllBut, watchGroup and startWatchdog run in the child between fork and exec, which may
// share Vantor's memory, or in processes forked from it: system calls only, no allocation, no
// locks.

void closeAllBut(int kept) noexcept {
    if ((kept == 0 || ::close_range(0, kept - 1, 0) == 0) && ::close_range(kept + 1, ~0U, 0) == 0) {
        return;
    }
    // A kernel older than 5.9 has no close_range.
    rlimit limit{};
    const int last = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 65536
                         ? static_cast<int>(limit.rlim_cur)
                         : 65536;
    for (int fd = 0; fd < last; ++fd) {
        if (fd != kept) {
            ::close(fd);
        }
    }
}

// The watchdog stays in the child's process group, which keeps the group's id from naming
// anyone else's group while it lives. It waits for end of file on a pipe whose write end only
// the client holds: that comes when the client stops the child or Vantor dies, however it dies.
// Then it asks the group to terminate, and once the leader is gone or killDelay is over it
// kills what is left, itself included.
[[noreturn]] void watchGroup(int pipe, pid_t group) noexcept {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int number = 1; number < NSIG; ++number) {
        ::sigaction(number, &action, nullptr);  // Vantor's handlers mean nothing here
    }
    action.sa_handler = SIG_IGN;
    ::sigaction(SIGTERM, &action, nullptr);  // the group's SIGTERM is meant for the others
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    closeAllBut(pipe);
    [[maybe_unused]] const int moved = ::chdir("/");  // keeps no folder in use
    ::prctl(PR_SET_NAME, "codex-watchdog");           // as ps and top show it

    char byte = 0;
    for (ssize_t read = 1; read != 0 && (read > 0 || errno == EINTR);) {
        read = ::read(pipe, &byte, 1);
    }
    ::kill(-group, SIGTERM);
    const timespec step{0, watchdogStepMs * 1'000'000};
    for (long waited = 0; waited < CodexAppServerClient::killDelay.count();
         waited += watchdogStepMs) {
        if (::kill(group, 0) != 0 && errno == ESRCH) {
            break;  // the leader is reaped; what is left outlived it
        }
        ::nanosleep(&step, nullptr);
    }
    ::kill(-group, SIGKILL);
    ::_exit(0);
}

// Leaves the watchdog behind through a short-lived middle process, so that it is nobody's child
// here and the program about to be started never sees it. False when no watchdog runs.
bool startWatchdog(int pipe, pid_t group) noexcept {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(SIGCHLD, &action, nullptr);  // the middle process is waited for below
    const pid_t middle = ::_Fork();
    if (middle == 0) {
        const pid_t watchdog = ::_Fork();
        if (watchdog == 0) {
            watchGroup(pipe, group);
        }
        ::_exit(watchdog > 0 ? 0 : 1);
    }
    int status = -1;
    while (middle > 0 && ::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    return middle > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A standard descriptor Vantor was started without would be the number the next pipe gets:
// the child's launch then puts its own streams there, over the watchdog's pipe, or finds its
// input already taken. /dev/null holds each such number, as it would in a daemon.
void fillStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free number: this one.
            [[maybe_unused]] const int opened = ::open("/dev/null", O_RDWR);
        }
    }
}

QString renderRpcError(const QJsonValue& error) {
    QString text;
    if (error.isObject() && error.toObject().value(QStringLiteral("message")).isString()) {
        const QJsonObject object = error.toObject();
        text = object.value(QStringLiteral("message")).toString();
        if (const QJsonValue code = object.value(QStringLiteral("code")); code.isDouble()) {
            text += QStringLiteral(" (%1)").arg(code.toDouble());
        }
    } else if (error.isString()) {
        text = error.toString();
    } else {
        // Any other value is shown as the JSON it is.
        const QByteArray json = QJsonDocument(QJsonArray{error}).toJson(QJsonDocument::Compact);
        text = QString::fromUtf8(json.sliced(1, json.size() - 2));
    }
    if (text.size() > maxErrorText) {
        text = text.left(maxErrorText) + QStringLiteral("...");
    }
    return text;
}

// Resumes a suspended coroutine from the event loop rather than from inside the signal or
// the read that completed it: the resumed caller may stop or delete the client.
void resumeLater(std::coroutine_handle<> waiter) {
    QObject* context = QCoreApplication::instance();
    if (context == nullptr) {
        waiter.resume();
        return;
    }
    QMetaObject::invokeMethod(
        context, [waiter] { waiter.resume(); }, Qt::QueuedConnection);
}

}  // namespace

// What a suspended requester (or the launch) receives, shared between the slot and the awaiter.
struct CodexAppServerClient::Outcome {
    bool done = false;
    Result result;
    std::coroutine_handle<> waiter;

    void complete(Result value) {
        done = true;
        result = std::move(value);
        if (waiter) {
            resumeLater(std::exchange(waiter, {}));
        }
    }
};

// Holds the outcome by shared pointer: g++ 12 may await a copy of this object, and all copies
// see the same outcome.
class CodexAppServerClient::OutcomeAwaiter {
public:
    explicit OutcomeAwaiter(std::shared_ptr<Outcome> outcome) : outcome_(std::move(outcome)) {}
    bool await_ready() const noexcept { return outcome_->done; }
    void await_suspend(std::coroutine_handle<> waiter) const noexcept { outcome_->waiter = waiter; }
    QJsonValue await_resume() const {
        if (const auto* error = std::get_if<std::exception_ptr>(&outcome_->result)) {
            std::rethrow_exception(*error);
        }
        return std::get<QJsonValue>(outcome_->result);
    }

private:
    std::shared_ptr<Outcome> outcome_;
};

CodexAppServerClient::CodexAppServerClient(QUrl executable,
                                           std::chrono::milliseconds requestTimeout,
                                           QString codexHome, QObject* parent)
    : QObject(parent),
      executable_(std::move(executable)),
      requestTimeout_(requestTimeout),
      codexHome_(std::move(codexHome)),
      process_(new QProcess(this)) {
    requestTimer_.setSingleShot(true);
    requestTimer_.setTimerType(Qt::PreciseTimer);
    connect(&requestTimer_, &QTimer::timeout, this, [this] {
        finishPendingRequest(pendingRequestID_,
                             std::make_exception_ptr(VantorError(ProviderError::requestTimedOut)));
    });
    configureProcess();
}

CodexAppServerClient::~CodexAppServerClient() {
    stop();
}

void CodexAppServerClient::configureProcess() {
    const QString program = executable_.toLocalFile();
    process_->setProgram(program);
    process_->setArguments({QStringLiteral("app-server")});
    // Never read: a chatty child must neither block on a full pipe nor grow our memory.
    process_->setStandardErrorFile(QProcess::nullDevice());

    // The npm package's codex is a node script; a desktop session's PATH often lacks node,
    // which version managers keep beside codex. Of ours only the absolute folders go on: the
    // others name the folder Vantor runs in.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QStringList path = ExecutableSearch::folders(environment.value(QStringLiteral("PATH")));
    path.prepend(QFileInfo(program).absolutePath());
    environment.insert(QStringLiteral("PATH"), path.join(u':'));
    // Codex keeps an account's sign-in in the folder this names, and nothing else tells
    // accounts apart.
    if (!codexHome_.isEmpty()) {
        environment.insert(QStringLiteral("CODEX_HOME"), codexHome_);
    }
    process_->setProcessEnvironment(environment);

    connect(process_, &QProcess::readyReadStandardOutput, this, &CodexAppServerClient::readOutput);
    connect(process_, &QProcess::errorOccurred, this, &CodexAppServerClient::handleProcessError);
    if (QCoreApplication::instance() != nullptr) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &CodexAppServerClient::killNow);
    }
}

qint64 CodexAppServerClient::processId() const {
    return process_ != nullptr ? process_->processId() : 0;
}

VantorError CodexAppServerClient::cancellationError() {
    return VantorError(QStringLiteral("Cancellation"), 1,
                       QStringLiteral("The operation was cancelled."));
}

QCoro::Task<> CodexAppServerClient::start() {
    if (launched_ || process_ == nullptr) {
        // A client runs one child; a new fetch builds a new client.
        throw VantorError(ProviderError::temporarilyUnavailable);
    }
    launched_ = true;

    fillStandardStreams();
    int watchdogEnds[2] = {-1, -1};
    if (::pipe2(watchdogEnds, O_CLOEXEC) != 0) {
        throw VantorError(processDomain, QProcess::FailedToStart, qt_error_string(errno),
                          executable_.toLocalFile());
    }
    watchdogPipe_ = watchdogEnds[1];
    const int watched = watchdogEnds[0];
    const pid_t parent = ::getpid();
    process_->setChildProcessModifier([watched, parent] {
        // Lead a process group of our own so shutdown reaches a launcher's children too.
        ::setsid();
        const bool watchdog = startWatchdog(watched, ::getpid());
        // Die with Vantor should it end without shutting us down: SIGTERM lets a launcher pass
        // it on to what it started, and the watchdog kills whatever ignores it.
        ::prctl(PR_SET_PDEATHSIG, watchdog ? SIGTERM : SIGKILL);
        // Vantor may have ended before the signal was armed, and then nothing sends it.
        if (::getppid() != parent) {
            ::_exit(1);
        }
    });

    auto launch = std::make_shared<Outcome>();
    launchOutcome_ = launch;
    const QMetaObject::Connection watch =
        connect(process_, &QProcess::stateChanged, this, [launch](QProcess::ProcessState state) {
            if (state != QProcess::Starting && !launch->done) {
                launch->complete(QJsonValue());
            }
        });
    process_->start(QIODevice::ReadWrite);
    ::close(watched);  // the child has its copy
    if (process_->state() != QProcess::Starting && !launch->done) {
        launch->complete(QJsonValue());
    }
    // Shutdown or cancellation while launching ends the wait with the cancellation error.
    co_await OutcomeAwaiter(launch);
    disconnect(watch);
    launchOutcome_.reset();

    if (process_->state() != QProcess::Running) {
        throw VantorError(processDomain, QProcess::FailedToStart, process_->errorString(),
                          executable_.toLocalFile());
    }
    started_ = true;

    co_await request(initializeMethod, initializeParams());
    send(QJsonObject{{methodKey, initializedNotification}, {paramsKey, QJsonObject()}});
}

QCoro::Task<QJsonObject> CodexAppServerClient::request(QString method, QJsonObject params) {
    if (!started_ && method != initializeMethod) {
        throw VantorError(ProviderError::temporarilyUnavailable);
    }
    if (cancelled_) {
        throw cancellationError();
    }
    const qint64 id = ++requestID_;
    auto outcome = std::make_shared<Outcome>();
    beginRequest(id, outcome);
    try {
        send(QJsonObject{{idKey, id}, {methodKey, method}, {paramsKey, params}});
    } catch (...) {
        finishPendingRequest(id, std::current_exception());
    }
    // Only the outcome is read from here on: the client may be gone by the time this resumes.
    const QJsonValue result = co_await OutcomeAwaiter(std::move(outcome));
    if (!result.isObject()) {
        throw VantorError(ProviderError::malformedResponse);
    }
    co_return result.toObject();
}

void CodexAppServerClient::beginRequest(qint64 id, std::shared_ptr<Outcome> outcome) {
    // One request at a time: a second one while the first waits is a caller's mistake, which
    // ends the first rather than leaving it waiting forever.
    if (pendingRequestID_) {
        finishPendingRequest(std::nullopt, std::make_exception_ptr(
                                               VantorError(ProviderError::temporarilyUnavailable)));
    }
    pendingOutcome_ = std::move(outcome);
    pendingRequestID_ = id;
    requestTimer_.start(requestTimeout_);
}

void CodexAppServerClient::finishPendingRequest(std::optional<qint64> id, Result result) {
    if (!pendingRequestID_ || (id && *id != *pendingRequestID_)) {
        // A late or foreign response, or a timer or cancellation that lost the race.
        return;
    }
    std::shared_ptr<Outcome> outcome = std::exchange(pendingOutcome_, nullptr);
    pendingRequestID_.reset();
    requestTimer_.stop();
    outcome->complete(std::move(result));
}

void CodexAppServerClient::send(const QJsonObject& message) {
    const QByteArray bytes = QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
    if (process_ == nullptr || process_->state() != QProcess::Running) {
        throw VantorError(processDomain, QProcess::WriteError,
                          QStringLiteral("The Codex app-server is not running."));
    }
    if (process_->write(bytes) != bytes.size()) {
        throw VantorError(processDomain, QProcess::WriteError, process_->errorString());
    }
}

void CodexAppServerClient::readOutput() {
    if (process_ == nullptr) {
        return;
    }
    const QByteArray chunk = process_->readAllStandardOutput();
    const QList<QByteArray> lines = reader_.feed(chunk);
    for (const QByteArray& line : lines) {
        handleLine(line);
    }
}

void CodexAppServerClient::handleLine(const QByteArray& line) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        return;
    }
    const QJsonObject message = document.object();
    const QJsonValue idValue = message.value(idKey);
    if (!idValue.isDouble()) {
        // A notification, or an id we never issue.
        return;
    }
    const double number = std::trunc(idValue.toDouble());
    if (!std::isfinite(number) || std::abs(number) > 9.0e15) {
        return;
    }
    const auto id = static_cast<qint64>(number);
    if (message.contains(QStringLiteral("result"))) {
        finishPendingRequest(id, message.value(QStringLiteral("result")));
    } else if (message.contains(QStringLiteral("error"))) {
        finishPendingRequest(
            id, std::make_exception_ptr(VantorError(
                    rpcDomain, 1, renderRpcError(message.value(QStringLiteral("error"))))));
    }
}

void CodexAppServerClient::handleProcessError(QProcess::ProcessError error) {
    // A child that exits or crashes is left to the request's timer; a failed write is not.
    if (error == QProcess::WriteError) {
        finishPendingRequest(std::nullopt, std::make_exception_ptr(VantorError(
                                               processDomain, error, process_->errorString())));
    }
}

void CodexAppServerClient::abandonLaunch() {
    if (launchOutcome_ && !launchOutcome_->done) {
        launchOutcome_->complete(std::make_exception_ptr(cancellationError()));
    }
    launchOutcome_.reset();
}

void CodexAppServerClient::cancel() {
    cancelled_ = true;
    abandonLaunch();
    finishPendingRequest(std::nullopt, std::make_exception_ptr(cancellationError()));
}

void CodexAppServerClient::stop() {
    abandonLaunch();
    finishPendingRequest(std::nullopt, std::make_exception_ptr(cancellationError()));
    started_ = false;
    releaseWatchdog();
    if (process_ == nullptr) {
        return;
    }
    QProcess* child = std::exchange(process_, nullptr);
    // No further reading or error handling: the child is on its way out.
    disconnect(child, nullptr, this, nullptr);
    if (child->state() == QProcess::NotRunning) {
        delete child;
        return;
    }
    if (child->state() == QProcess::Starting) {
        child->kill();
    } else {
        // Nobody reads its output any more: close the pipe, or a child that keeps writing
        // fills QProcess's buffer until the kill below.
        child->closeReadChannel(QProcess::StandardOutput);
        child->closeWriteChannel();
        signalChild(child->processId(), SIGTERM);
    }

    // The child outlives this client until it exits; the application then reaps it, and
    // deletes it at the latest when it ends itself.
    child->setParent(QCoreApplication::instance());
    exiting_ = child;
    connect(child, &QProcess::finished, child, &QObject::deleteLater);
    // The kill goes to the whole process group and does not depend on the leader: a launcher
    // script may exit on SIGTERM while the program it started lingers. The group's id is ours
    // only while something holds it: the leader until we reap it, else a remaining member. So
    // what is left of the group dies the moment the leader is reaped, and the delayed kill goes
    // only to a group whose leader is still unreaped; an emptied group's id may already name
    // someone else's group on a busy host.
    const auto group = static_cast<pid_t>(child->processId());
    connect(child, &QProcess::finished, child, [group] {
        if (group > 0) {
            ::kill(-group, SIGKILL);
        }
    });
    QObject* context = QCoreApplication::instance() != nullptr
                           ? static_cast<QObject*>(QCoreApplication::instance())
                           : static_cast<QObject*>(child);
    QTimer::singleShot(killDelay, context, [leader = QPointer<QProcess>(child), group] {
        if (group > 0 && leader && leader->state() != QProcess::NotRunning) {
            ::kill(-group, SIGKILL);
        }
    });
    if (QCoreApplication::instance() != nullptr) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, child,
                [child] { signalChild(child->processId(), SIGKILL); });
    }
}

QCoro::Task<> CodexAppServerClient::waitForExit() const {
    const QPointer<QProcess> child = exiting_;
    if (!child || child->state() == QProcess::NotRunning) {
        co_return;
    }
    auto exit = std::make_shared<Outcome>();
    const auto end = [exit] {
        if (!exit->done) {
            exit->complete(QJsonValue());
        }
    };
    // Lives in this coroutine's frame: the connections go with it.
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    connect(&limit, &QTimer::timeout, &limit, end);
    connect(child, &QObject::destroyed, &limit, end);
    connect(child, &QProcess::stateChanged, &limit, [end](QProcess::ProcessState state) {
        if (state == QProcess::NotRunning) {
            end();
        }
    });
    limit.start(exitWait);
    co_await OutcomeAwaiter(exit);
}

void CodexAppServerClient::killNow() {
    if (process_ != nullptr && process_->state() == QProcess::Running) {
        signalChild(process_->processId(), SIGKILL);
    }
}

void CodexAppServerClient::releaseWatchdog() {
    if (watchdogPipe_ >= 0) {
        ::close(watchdogPipe_);
        watchdogPipe_ = -1;
    }
}
