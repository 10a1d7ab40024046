#include "ProviderStatusText.h"

#include <QCoreApplication>
#include <QStringList>

#include <array>

namespace {

constexpr const char* context = "ProviderStatusText";

QString tr(const char* text) {
    return QCoreApplication::translate(context, text);
}

// Between a window's own name and its length in a label: "Spark · 5 hour".
const QString labelSeparator = QStringLiteral(" \u00b7 ");

// The words the providers put into window labels.
constexpr std::array labelWords{QT_TRANSLATE_NOOP("ProviderStatusText", "5 hour"),
                                QT_TRANSLATE_NOOP("ProviderStatusText", "Weekly"),
                                QT_TRANSLATE_NOOP("ProviderStatusText", "Monthly"),
                                QT_TRANSLATE_NOOP("ProviderStatusText", "Additional limit")};

}  // namespace

namespace ProviderStatusText {

QString title(ProviderID provider) {
    return provider.kind == ProviderKind::codex ? tr("Codex") : tr("Claude Code");
}

QString shortName(ProviderKind kind) {
    return kind == ProviderKind::codex ? tr("Codex") : tr("Claude");
}

QString accountName(const UsageAccount& account) {
    // The default account is named for being the one the assistant uses unless told otherwise.
    return account.name.isEmpty() ? tr("default") : account.name;
}

QString namedProvider(ProviderKind kind, const QString& accountName) {
    if (accountName.isEmpty()) {
        return shortName(kind);
    }
    //: An assistant and one of its accounts: "Claude (work)".
    return tr("%1 (%2)").arg(shortName(kind), accountName);
}

QString availability(const std::optional<ProviderAvailability>& availability) {
    if (!availability) {
        return tr("Not detected");
    }
    switch (availability->kind()) {
        case ProviderAvailability::Kind::available:
            return tr("Connected");
        case ProviderAvailability::Kind::notInstalled:
            return tr("Not installed");
        case ProviderAvailability::Kind::notAuthenticated:
            // An expired session or a token of the wrong kind says so.
            return availability->message().isEmpty() ? tr("Sign in required")
                                                     : availability->message();
        case ProviderAvailability::Kind::requiresProPlan:
            return tr("Upgrade to Pro");
        case ProviderAvailability::Kind::unsupported:
            return tr("Not detected");
        case ProviderAvailability::Kind::temporarilyUnavailable:
            break;
    }
    return tr("Unavailable");
}

QString reason(const std::optional<ProviderAvailability>& availability) {
    if (availability &&
        availability->kind() == ProviderAvailability::Kind::temporarilyUnavailable &&
        !availability->message().isEmpty()) {
        return availability->message();
    }
    return ProviderStatusText::availability(availability);
}

bool namesOwnWindow(const QString& label) {
    return label.contains(labelSeparator);
}

QString windowLabel(const QString& label) {
    QStringList parts = label.split(labelSeparator);
    for (QString& part : parts) {
        for (const char* word : labelWords) {
            if (part == QLatin1String(word)) {
                part = tr(word);
            }
        }
    }
    return parts.join(labelSeparator);
}

}  // namespace ProviderStatusText
