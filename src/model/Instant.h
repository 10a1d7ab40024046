#pragma once

#include <QDateTime>

#include <compare>

// An absolute point in time, held as seconds since 2001-01-01T00:00:00Z in a double: the
// stored JSON form carries exactly this number, so an instant always reads back unchanged,
// including one taken from the system clock with its sub-millisecond fraction.
class Instant {
public:
    // Seconds between the Unix epoch and the reference date.
    static constexpr double unixEpochOffset = 978307200.0;

    constexpr Instant() = default;
    static constexpr Instant fromReferenceSeconds(double seconds) { return Instant(seconds); }
    static constexpr Instant fromUnixSeconds(double seconds) {
        return Instant(seconds - unixEpochOffset);
    }
    static Instant fromDateTime(const QDateTime& dateTime);
    static Instant now();

    constexpr double secondsSinceReferenceDate() const { return seconds_; }
    constexpr double unixSeconds() const { return seconds_ + unixEpochOffset; }
    // Millisecond precision, in UTC; for display and calendar arithmetic.
    QDateTime toDateTime() const;

    constexpr Instant addingSeconds(double seconds) const { return Instant(seconds_ + seconds); }
    constexpr double secondsSince(Instant earlier) const { return seconds_ - earlier.seconds_; }

    friend constexpr bool operator==(Instant, Instant) = default;
    friend constexpr std::partial_ordering operator<=>(Instant a, Instant b) {
        return a.seconds_ <=> b.seconds_;
    }

private:
    constexpr explicit Instant(double seconds) : seconds_(seconds) {}
    double seconds_ = 0.0;
};
