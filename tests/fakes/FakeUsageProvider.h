#pragma once

#include "UsageProvider.h"

#include <QList>

#include <chrono>
#include <exception>
#include <variant>

// A provider answering from a script. Each fetch takes the next answer; the last one keeps
// being given. Counts every call so tests can tell which provider was asked what.
class FakeUsageProvider final : public UsageProvider {
public:
    using Answer = std::variant<ProviderUsageSnapshot, std::exception_ptr>;

    explicit FakeUsageProvider(
        ProviderID id, ProviderAvailability availability = ProviderAvailability::available());

    ProviderID id() const override { return id_; }
    QString displayName() const override { return rawValue(id_); }
    QCoro::Task<ProviderAvailability> availability() override;
    QCoro::Task<ProviderUsageSnapshot> fetchUsage() override;

    void setAvailability(ProviderAvailability availability) {
        availability_ = std::move(availability);
    }
    // availability() throws, against the interface's promise.
    void setAvailabilityThrows(bool throws) { availabilityThrows_ = throws; }
    void answer(ProviderUsageSnapshot snapshot) { answers_.append(std::move(snapshot)); }
    template <typename Exception>
    void fail(Exception exception) {
        answers_.append(std::make_exception_ptr(std::move(exception)));
    }
    // Each fetch waits this long before answering, as a slow or hanging peer would.
    void setDelay(std::chrono::milliseconds delay) { delay_ = delay; }

    int availabilityCalls() const { return availabilityCalls_; }
    int fetchCalls() const { return fetchCalls_; }
    // Fetches started and not yet answered.
    int fetchesRunning() const { return fetchesRunning_; }
    int mostFetchesAtOnce() const { return mostFetchesAtOnce_; }

private:
    ProviderID id_;
    ProviderAvailability availability_;
    bool availabilityThrows_ = false;
    QList<Answer> answers_;
    std::chrono::milliseconds delay_{0};
    int availabilityCalls_ = 0;
    int fetchCalls_ = 0;
    int fetchesRunning_ = 0;
    int mostFetchesAtOnce_ = 0;
};
