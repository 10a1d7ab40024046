#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

// Enumerations that are stored, logged or put into identifiers carry a text raw value equal
// to the case name. Each such enumeration specialises RawValues with its names in declaration
// order; these helpers convert both ways.
template <typename Enum>
struct RawValues;

template <typename Enum>
QString rawValue(Enum value) {
    const std::string_view name = RawValues<Enum>::names.at(static_cast<std::size_t>(value));
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// Exact, case-sensitive match; any other text yields no value.
template <typename Enum>
std::optional<Enum> fromRawValue(QStringView text) {
    const auto& names = RawValues<Enum>::names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (text == QLatin1String(names[i].data(), static_cast<qsizetype>(names[i].size()))) {
            return static_cast<Enum>(i);
        }
    }
    return std::nullopt;
}

template <typename Enum>
constexpr auto allCases() {
    constexpr std::size_t count = RawValues<Enum>::names.size();
    std::array<Enum, count> cases{};
    for (std::size_t i = 0; i < count; ++i) {
        cases[i] = static_cast<Enum>(i);
    }
    return cases;
}
