#pragma once

#include "UsageProvider.h"
#include "VantorError.h"

#include <QCoroTimer>

#include <chrono>
#include <functional>

// A provider answering from a script: each fetch takes the next answer, the last one keeps
// being given, and without answers it fails. Counts calls so tests can tell what was asked.
class FakeUsageProvider final : public UsageProvider {
public:
    explicit FakeUsageProvider(
        ProviderID id, ProviderAvailability availability = ProviderAvailability::available())
        : id_(id), availability_(std::move(availability)) {}

    ProviderID id() const override { return id_; }
    QString displayName() const override { return rawValue(id_); }
    QCoro::Task<ProviderAvailability> availability() override {
        ++availabilityCalls;
        // Throwing here breaks the interface's promise, as a faulty provider might.
        co_return availabilityThrows ? throw VantorError(ProviderError::malformedResponse)
                                     : availability_;
    }
    QCoro::Task<ProviderUsageSnapshot> fetchUsage() override {
        ++fetchCalls;
        co_await QCoro::sleepFor(delay);  // a slow peer, or the next turn of the event loop
        // With no answer left the empty call throws std::bad_function_call.
        co_return (answers_.size() > 1 ? answers_.takeFirst() : answers_.value(0))();
    }

    std::optional<ProviderAvailability> failureAvailability() const override { return told; }
    // What the next availability() says.
    void setAvailability(ProviderAvailability availability) {
        availability_ = std::move(availability);
    }

    void answer(ProviderUsageSnapshot snapshot) {
        answers_.append([=] { return snapshot; });
    }
    template <typename Exception>
    void fail(Exception exception) {
        answers_.append([exception]() -> ProviderUsageSnapshot { throw exception; });
    }
    int availabilityCalls = 0;
    int fetchCalls = 0;
    bool availabilityThrows = false;
    // What a failed fetch tells the user, when the provider knows why.
    std::optional<ProviderAvailability> told;
    std::chrono::milliseconds delay{0};

private:
    ProviderID id_;
    ProviderAvailability availability_;
    QList<std::function<ProviderUsageSnapshot()>> answers_;
};
