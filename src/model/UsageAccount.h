#pragma once

#include "ProviderID.h"
#include "RawValue.h"

#include <QString>

// One account Vantor knows of: the folder where its assistant keeps the sign-in, what the user
// calls it, and whether it is watched.
struct UsageAccount {
    enum class Origin {
        // The folder the assistant uses unless told otherwise.
        standard,
        // A folder beside it in the home folder, named after the assistant's.
        found,
        // A folder the user chose.
        added
    };

    ProviderID id;
    // Absolute and clean.
    QString folder;
    // As the user named it; empty means the default account's own word.
    QString name;
    bool watched = true;
    Origin origin = Origin::standard;

    friend bool operator==(const UsageAccount&, const UsageAccount&) = default;
};

template <>
struct RawValues<UsageAccount::Origin> {
    static constexpr std::array<std::string_view, 3> names{"standard", "found", "added"};
};
