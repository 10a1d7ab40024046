#pragma once

#include "UsageProvider.h"
#include "VantorError.h"

#include <QCoroTimer>

#include <chrono>
#include <variant>

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
        ++availabilityCalls_;
        if (availabilityThrows) {  // against the interface's promise
            throw VantorError(ProviderError::malformedResponse);
        }
        co_return availability_;
    }
    QCoro::Task<ProviderUsageSnapshot> fetchUsage() override {
        ++fetchCalls_;
        if (delay.count() > 0) {  // a slow peer
            co_await QCoro::sleepFor(delay);
        }
        const Answer answer = answers_.size() > 1 ? answers_.takeFirst() : answers_.value(0);
        if (const auto* error = std::get_if<std::exception_ptr>(&answer)) {
            std::rethrow_exception(*error ? *error
                                          : std::make_exception_ptr(VantorError(
                                                ProviderError::temporarilyUnavailable)));
        }
        co_return std::get<ProviderUsageSnapshot>(answer);
    }

    void answer(ProviderUsageSnapshot snapshot) { answers_.append(std::move(snapshot)); }
    template <typename Exception>
    void fail(Exception exception) {
        answers_.append(std::make_exception_ptr(std::move(exception)));
    }
    int availabilityCalls() const { return availabilityCalls_; }
    int fetchCalls() const { return fetchCalls_; }

    bool availabilityThrows = false;
    std::chrono::milliseconds delay{0};

private:
    using Answer = std::variant<std::exception_ptr, ProviderUsageSnapshot>;
    ProviderID id_;
    ProviderAvailability availability_;
    QList<Answer> answers_;
    int availabilityCalls_ = 0;
    int fetchCalls_ = 0;
};
