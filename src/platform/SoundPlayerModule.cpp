#include "SoundPlayerModule.h"

#include <QLibrary>
#include <QtGlobal>

namespace SoundPlayerModule {

std::unique_ptr<SoundPlayer> makePlayer(const QString& path) {
    QLibrary module(path);
    // Resolving loads it; QLibrary never unloads on its own, so the player's code stays.
    using Make = SoundPlayer* (*)();
    const auto make = reinterpret_cast<Make>(module.resolve("vantor_make_sound_player"));
    if (make == nullptr) {
        qWarning("vantor: no sound: %s", qUtf8Printable(module.errorString()));
        return nullptr;
    }
    return std::unique_ptr<SoundPlayer>(make());
}

}  // namespace SoundPlayerModule
