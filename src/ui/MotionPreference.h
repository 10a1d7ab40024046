#pragma once

#include <QByteArray>
#include <QObject>
#include <QVariant>

#include <optional>

// Whether the desktop asks for reduced motion: GNOME's enable-animations, else KDE's
// animation speed of 0. Unknown means animate.
class MotionPreference : public QObject {
    Q_OBJECT

public:
    explicit MotionPreference(QObject* parent = nullptr);

    // Reads KDE's setting at once and asks gsettings in the background.
    void probe();
    bool reduceMotion() const { return reduce_; }

    // The answer of `gsettings get org.gnome.desktop.interface enable-animations`.
    static std::optional<bool> reduceFromGnome(const QByteArray& output);
    // KDE's AnimationDurationFactor.
    static std::optional<bool> reduceFromKde(const QVariant& factor);

Q_SIGNALS:
    void reduceMotionChanged(bool reduce);

private:
    void set(bool reduce);

    bool reduce_ = false;
};
