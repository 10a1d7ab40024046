#include "FakeUsageProvider.h"

#include "VantorError.h"

#include <QCoroTimer>

#include <algorithm>

FakeUsageProvider::FakeUsageProvider(ProviderID id, ProviderAvailability availability)
    : id_(id), availability_(std::move(availability)) {}

QCoro::Task<ProviderAvailability> FakeUsageProvider::availability() {
    ++availabilityCalls_;
    if (availabilityThrows_) {
        throw VantorError(QStringLiteral("FakeProvider"), 1, QStringLiteral("availability broke"));
    }
    co_return availability_;
}

QCoro::Task<ProviderUsageSnapshot> FakeUsageProvider::fetchUsage() {
    ++fetchCalls_;
    ++fetchesRunning_;
    mostFetchesAtOnce_ = std::max(mostFetchesAtOnce_, fetchesRunning_);
    if (delay_.count() > 0) {
        co_await QCoro::sleepFor(delay_);
    }
    --fetchesRunning_;
    if (answers_.isEmpty()) {
        throw VantorError(ProviderError::temporarilyUnavailable);
    }
    const Answer answer = answers_.size() > 1 ? answers_.takeFirst() : answers_.first();
    if (const auto* error = std::get_if<std::exception_ptr>(&answer)) {
        std::rethrow_exception(*error);
    }
    co_return std::get<ProviderUsageSnapshot>(answer);
}
