#include "AppState.h"
#include "ResetAlertAudioManager.h"
#include "SoundPlayer.h"
#include "UserDefaults.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

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

bool isOneJsonString(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson('[' + bytes + ']', &error);
    return error.error == QJsonParseError::NoError && document.array().size() == 1 &&
           document.array().first().isString();
}

// A choice key ends holding one of the valid names, the one the state took; or, when it held a
// single JSON string naming a choice a newer release may add, exactly what was stored, with
// the state at its default.
bool settled(const Defaults& defaults, const QString& key, const QVariant& stored,
             const QList<QByteArray>& valid, int taken, bool mayKeep) {
    const QVariant held = defaults.value(key);
    if (held.typeId() == QMetaType::QByteArray && valid.indexOf(held.toByteArray()) == taken) {
        return true;
    }
    return mayKeep && taken == 0 && held == stored && stored.typeId() == QMetaType::QByteArray &&
           isOneJsonString(stored.toByteArray());
}

}  // namespace

// The alert settings come from a file the user may edit. Whatever the stored bytes, creating
// the state must leave every current key holding a value it can read back (or an unknown
// choice kept for a newer release), and the legacy language key gone when the migration ran.
// The input is split at newlines into the stored language, gender, legacy language and alerts
// flag.
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
    const Defaults stored = defaults;
    const bool migrates = parts.size() < 4;
    const AppState state(defaults, std::make_unique<ResetAlertAudioManager>(
                                       [] { return std::unique_ptr<SoundPlayer>(); }));
    const bool valid =
        settled(defaults, AppState::languageKey, stored.value(AppState::languageKey),
                {"\"automatic\"", "\"english\"", "\"french\"", "\"japanese\""},
                static_cast<int>(state.customAudioLanguage()), !migrates) &&
        settled(defaults, AppState::genderKey, stored.value(AppState::genderKey),
                {"\"female\"", "\"male\""}, static_cast<int>(state.customAudioGender()),
                !migrates) &&
        defaults.value(AppState::alertsEnabledKey).typeId() == QMetaType::Bool &&
        (!migrates || !defaults.values.contains(QStringLiteral("announcementLanguage")));
    if (!valid) {
        __builtin_trap();
    }
    return 0;
}
