#include "SecretServiceKeychain.h"

#include <QCoroSignal>
#include <QObject>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

#include <memory>

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
};

std::optional<QByteArray> firstUnlockedSecret(const QByteArray& serviceName,
                                              GCancellable* cancellable) {
    GError* error = nullptr;
    // A service object of our own rather than libsecret's shared one: nothing outlives the call.
    SecretService* service = secret_service_open_sync(SECRET_TYPE_SERVICE, nullptr,
                                                      SECRET_SERVICE_NONE, cancellable, &error);
    if (!service) {
        g_clear_error(&error);
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
    g_clear_error(&error);
    g_hash_table_unref(attributes);

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

// Wakes the waiting coroutine for whichever comes first, the worker's end or the timeout.
class Waiter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
Q_SIGNALS:
    void done(bool finished);
};

}  // namespace

SecretServiceKeychain::SecretServiceKeychain(std::chrono::milliseconds timeout)
    : timeout_(timeout) {}

QCoro::Task<std::optional<QByteArray>> SecretServiceKeychain::secret(QString service) {
    const auto lookup = std::make_shared<Lookup>();
    // However the wait ends (timeout, or this task dropped), a lookup still running stops.
    const auto cancelOnExit = qScopeGuard([lookup] { g_cancellable_cancel(lookup->cancellable); });
    QThread* const worker = QThread::create([lookup, name = service.toUtf8()] {
        // The worker's own main context keeps libsecret's sources off the main thread's.
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        lookup->result = firstUnlockedSecret(name, lookup->cancellable);
        // GDBus hands the clean-up of dropped signal subscriptions to the subscriber's context
        // as idle callbacks; run them, or their data is lost with the context.
        for (int round = 0; round < 100 && g_main_context_iteration(context, FALSE); ++round) {
        }
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    });
    // The thread object outlives a timed-out wait and removes itself once the worker is done.
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);

    const auto waiter = std::make_unique<Waiter>();
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(worker, &QThread::finished, waiter.get(),
                     [w = waiter.get()] { Q_EMIT w->done(true); });
    QObject::connect(&timer, &QTimer::timeout, waiter.get(),
                     [w = waiter.get()] { Q_EMIT w->done(false); });

    worker->start();
    timer.start(timeout_);
    const bool finished = co_await qCoro(waiter.get(), &Waiter::done);
    if (!finished) {
        co_return std::nullopt;
    }
    co_return lookup->result;
}

#include "SecretServiceKeychain.moc"
