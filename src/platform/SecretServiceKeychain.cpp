#include "SecretServiceKeychain.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <coroutine>
#include <memory>
#include <utility>

// glib names a struct member "signals"; Qt's keyword macro is off (QT_NO_KEYWORDS), and this
// keeps it so should the flag ever go.
#undef signals
#include <libsecret/secret.h>

namespace {

// One lookup, shared by the waiting coroutine and the worker thread. The result is written by
// the worker and read only after its thread has finished.
struct Lookup {
    Lookup() : cancellable(g_cancellable_new()) {}
    ~Lookup() { g_object_unref(cancellable); }
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;

    GCancellable* cancellable;
    std::optional<QByteArray> result;
    // The bus has no Secret Service: none owns its name and none can be started.
    bool serviceAbsent = false;
};

const char* const secretsName = "org.freedesktop.secrets";

GVariant* busCall(GDBusConnection* bus, const char* method, GVariant* arguments,
                  const char* replyType, GCancellable* cancellable) {
    return g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
        arguments, G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NONE, 1000, cancellable, nullptr);
}

bool secretServiceAbsent(GCancellable* cancellable) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, cancellable, nullptr);
    if (!bus) {
        return true;
    }
    bool absent = true;
    if (GVariant* owned =
            busCall(bus, "NameHasOwner", g_variant_new("(s)", secretsName), "(b)", cancellable)) {
        gboolean hasOwner = FALSE;
        g_variant_get(owned, "(b)", &hasOwner);
        absent = !hasOwner;
        g_variant_unref(owned);
    }
    if (absent) {
        if (GVariant* names = busCall(bus, "ListActivatableNames", nullptr, "(as)", cancellable)) {
            GVariant* list = g_variant_get_child_value(names, 0);
            const gchar** strings = g_variant_get_strv(list, nullptr);
            for (const gchar** name = strings; name && *name && absent; ++name) {
                absent = g_strcmp0(*name, secretsName) != 0;
            }
            g_free(strings);
            g_variant_unref(list);
            g_variant_unref(names);
        }
    }
    g_object_unref(bus);
    return absent;
}

std::optional<QByteArray> firstUnlockedSecret(const QByteArray& serviceName, Lookup& lookup) {
    GCancellable* const cancellable = lookup.cancellable;
    GError* error = nullptr;
    // A service object of our own rather than libsecret's shared one: nothing outlives the call.
    SecretService* service = secret_service_open_sync(SECRET_TYPE_SERVICE, nullptr,
                                                      SECRET_SERVICE_NONE, cancellable, &error);
    if (!service) {
        g_clear_error(&error);
        lookup.serviceAbsent = secretServiceAbsent(cancellable);
        return std::nullopt;
    }
    GHashTable* attributes = g_hash_table_new(g_str_hash, g_str_equal);
    g_hash_table_insert(attributes, const_cast<char*>("service"),
                        const_cast<char*>(serviceName.constData()));
    // No SECRET_SEARCH_UNLOCK: unlocking a locked collection opens a prompt that waits for the
    // user without limit. Without a schema any schema matches.
    GList* items = secret_service_search_sync(
        service, nullptr, attributes,
        static_cast<SecretSearchFlags>(SECRET_SEARCH_ALL | SECRET_SEARCH_LOAD_SECRETS), cancellable,
        &error);
    g_hash_table_unref(attributes);
    // Opening succeeds without a service behind the name; the search is what fails then.
    if (error) {
        g_clear_error(&error);
        lookup.serviceAbsent = secretServiceAbsent(cancellable);
    }

    std::optional<QByteArray> result;
    for (GList* node = items; node && !result; node = node->next) {
        auto* item = static_cast<SecretItem*>(node->data);
        if (secret_item_get_locked(item)) {
            continue;
        }
        SecretValue* value = secret_item_get_secret(item);
        if (!value) {
            continue;
        }
        gsize length = 0;
        const gchar* bytes = secret_value_get(value, &length);
        result = QByteArray(bytes, static_cast<qsizetype>(length));
        secret_value_unref(value);
    }
    g_list_free_full(items, g_object_unref);
    g_object_unref(service);
    return result;
}

void runLookup(const std::shared_ptr<Lookup>& lookup, const QByteArray& serviceName) {
    // The worker's own main context keeps libsecret's sources off the main thread's.
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    lookup->result = firstUnlockedSecret(serviceName, *lookup);
    // GDBus hands the clean-up of dropped signal subscriptions to the subscriber's context as
    // idle callbacks; run them, or their data is lost with the context.
    for (int round = 0; round < 100 && g_main_context_iteration(context, FALSE); ++round) {
    }
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
}

// One lookup on its worker thread, with its deadline, awaited through LookupAwaiter. However
// the wait ends, a lookup still running is cancelled when this object goes. It resumes the
// waiting coroutine from its own handlers, so it is only ever deleted later (PendingDeleter).
class PendingLookup : public QObject {
public:
    PendingLookup(const QByteArray& serviceName, std::chrono::milliseconds timeout)
        : lookup_(std::make_shared<Lookup>()) {
        QThread* const worker =
            QThread::create([lookup = lookup_, serviceName] { runLookup(lookup, serviceName); });
        // The thread object outlives a timed-out wait and removes itself once the worker ends.
        connect(worker, &QThread::finished, worker, &QObject::deleteLater);
        connect(worker, &QThread::finished, this, [this] { settle(State::finished); });
        deadline_.setSingleShot(true);
        deadline_.setTimerType(Qt::PreciseTimer);
        connect(&deadline_, &QTimer::timeout, this, [this] { settle(State::timedOut); });
        worker->start();
        deadline_.start(timeout);
    }
    ~PendingLookup() override { g_cancellable_cancel(lookup_->cancellable); }
    PendingLookup(const PendingLookup&) = delete;
    PendingLookup& operator=(const PendingLookup&) = delete;

    bool isSettled() const { return state_ != State::waiting; }
    void await(std::coroutine_handle<> continuation) { continuation_ = continuation; }
    // The worker's findings once it has finished; nothing after the deadline.
    SecretServiceKeychain::Answer answer() const {
        if (state_ != State::finished) {
            return {};
        }
        return {lookup_->result, lookup_->serviceAbsent};
    }
    // The waiting coroutine is gone: nothing may be resumed any more.
    void abandon() {
        continuation_ = {};
        settle(State::timedOut);
    }

private:
    enum class State { waiting, finished, timedOut };

    void settle(State state) {
        if (state_ != State::waiting) {
            return;
        }
        state_ = state;
        deadline_.stop();
        if (continuation_) {
            std::exchange(continuation_, {}).resume();
        }
    }

    std::shared_ptr<Lookup> lookup_;
    QTimer deadline_;
    State state_ = State::waiting;
    std::coroutine_handle<> continuation_;
};

// Holds only a pointer and reads its result from the lookup, so a copy of it is as good.
struct LookupAwaiter {
    PendingLookup* pending;
    bool await_ready() const noexcept { return pending->isSettled(); }
    void await_suspend(std::coroutine_handle<> continuation) noexcept {
        pending->await(continuation);
    }
    SecretServiceKeychain::Answer await_resume() const { return pending->answer(); }
};

struct PendingDeleter {
    void operator()(PendingLookup* pending) const {
        pending->abandon();
        pending->deleteLater();
    }
};

}  // namespace

SecretServiceKeychain::SecretServiceKeychain(std::chrono::milliseconds timeout)
    : timeout_(timeout) {}

SecretServiceKeychain::~SecretServiceKeychain() {
    if (watcher_) {
        const QString connectionName = watcher_->connection().name();
        watcher_.reset();
        QDBusConnection::disconnectFromBus(connectionName);
    }
}

QCoro::Task<std::optional<QByteArray>> SecretServiceKeychain::secret(QString service) {
    if (absent_ && !absent_->hasExpired()) {
        co_return std::nullopt;
    }
    absent_.reset();
    const std::unique_ptr<PendingLookup, PendingDeleter> pending(
        new PendingLookup(service.toUtf8(), timeout_));
    Answer answer = co_await LookupAwaiter{pending.get()};
    if (answer.serviceAbsent) {
        rememberAbsence();
    }
    co_return std::move(answer.secret);
}

void SecretServiceKeychain::rememberAbsence() {
    absent_ = QDeadlineTimer(recheckInterval);
    if (watcher_) {
        return;
    }
    // A connection of its own, closed with this object, so the watch does not outlive it.
    const QDBusConnection bus = QDBusConnection::connectToBus(
        QDBusConnection::SessionBus,
        QStringLiteral("vantor-secret-service-watch-%1").arg(reinterpret_cast<quintptr>(this)));
    watcher_ = std::make_unique<QDBusServiceWatcher>(QString::fromLatin1(secretsName), bus,
                                                     QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(watcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, watcher_.get(),
                     [this] { absent_.reset(); });
}
