#pragma once

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

// The last answers a usage source gave, each under a key that stands for the sign-in it was
// asked with (a digest, never the secret itself), so that accounts signed in alike ask once.
// Bounded in number and in age; times are on the caller's clock.
template <typename T>
class RecentAnswers {
public:
    // More than a refresh of every account of an assistant needs.
    static constexpr qsizetype capacity = 8;
    // How long another account with the same sign-in takes an answer: a poll interval, as the
    // accounts of an assistant are asked in turn over it, each in a poll of its own.
    static constexpr std::chrono::milliseconds acrossAccounts{300'000};

    explicit RecentAnswers(std::chrono::milliseconds lifetime) : lifetime_(lifetime) {}

    // The answer remembered under the key when it came less than the lifetime (or maxAge, when
    // shorter) before now, and not after it (a clock set back says nothing of its age).
    std::optional<T> recall(const QByteArray& key, std::chrono::milliseconds now,
                            std::optional<std::chrono::milliseconds> maxAge = {}) const {
        for (const Entry& entry : entries_) {
            if (entry.key == key && isFresh(entry, now, maxAge.value_or(lifetime_))) {
                return entry.answer;
            }
        }
        return std::nullopt;
    }

    // Replaces what the key held; stale answers go, and the oldest when full.
    void remember(QByteArray key, T answer, std::chrono::milliseconds now) {
        entries_.removeIf(
            [&](const Entry& entry) { return entry.key == key || !isFresh(entry, now); });
        if (entries_.size() >= capacity) {
            entries_.removeFirst();
        }
        entries_.append(Entry{std::move(key), std::move(answer), now});
    }

private:
    struct Entry {
        QByteArray key;
        T answer;
        std::chrono::milliseconds at;
    };

    bool isFresh(const Entry& entry, std::chrono::milliseconds now,
                 std::optional<std::chrono::milliseconds> maxAge = {}) const {
        return now >= entry.at && now - entry.at < std::min(lifetime_, maxAge.value_or(lifetime_));
    }

    std::chrono::milliseconds lifetime_;
    // Oldest first.
    QList<Entry> entries_;
};
