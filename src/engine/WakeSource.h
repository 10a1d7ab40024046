#pragma once

#include <QObject>

// Tells when the machine has woken from suspend. Without a way to learn it (no system bus, no
// login manager) it simply never emits.
class WakeSource : public QObject {
    Q_OBJECT

public:
    explicit WakeSource(QObject* parent = nullptr);
    ~WakeSource() override;

Q_SIGNALS:
    // Emitted on the main thread once per resume.
    void woke();
};
