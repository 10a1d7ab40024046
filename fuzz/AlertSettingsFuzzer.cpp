#include "AppState.h"
#include "ResetAlertAudioManager.h"
#include "SoundPlayer.h"
#include "UserDefaults.h"

#include <QHash>

#include <cstddef>
#include <cstdint>

namespace {

class Defaults final : public UserDefaults {
public:
    QVariant value(const QString& key) const override { return values.value(key); }
    void setValue(const QString& key, const QVariant& value) override { values.insert(key, value); }
    void remove(const QString& key) override { values.remove(key); }
    QHash<QString, QVariant> values;
};

bool holdsOneOf(const Defaults& defaults, const QString& key, const QList<QByteArray>& valid) {
    const QVariant stored = defaults.value(key);
    return stored.typeId() == QMetaType::QByteArray && valid.contains(stored.toByteArray());
}

}  // namespace

// The alert settings come from a file the user may edit. Whatever the stored bytes, creating
// the state must leave every current key holding a valid value, and the legacy language key
// gone when the migration ran. The input is split at newlines into the stored language,
// gender, legacy language and alerts flag.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\n');
    const QStringList keys{AppState::languageKey, AppState::genderKey,
                           QStringLiteral("announcementLanguage"), AppState::alertsEnabledKey};
    Defaults defaults;
    for (qsizetype i = 0; i < parts.size() && i < keys.size(); ++i) {
        // The flag is stored as text, the way the INI file reads it back.
        defaults.values.insert(keys[i],
                               i == 3 ? QVariant(QString::fromUtf8(parts[i])) : QVariant(parts[i]));
    }
    const bool migrates = parts.size() < 4;
    const AppState state(defaults, std::make_unique<ResetAlertAudioManager>(
                                       [] { return std::unique_ptr<SoundPlayer>(); }));
    const bool valid =
        holdsOneOf(defaults, AppState::languageKey,
                   {"\"automatic\"", "\"english\"", "\"french\"", "\"japanese\""}) &&
        holdsOneOf(defaults, AppState::genderKey, {"\"female\"", "\"male\""}) &&
        defaults.value(AppState::alertsEnabledKey).typeId() == QMetaType::Bool &&
        (!migrates || !defaults.values.contains(QStringLiteral("announcementLanguage")));
    if (!valid) {
        __builtin_trap();
    }
    return 0;
}
