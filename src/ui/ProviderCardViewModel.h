#pragma once

#include "Instant.h"
#include "ProviderID.h"
#include "UsageHistory.h"

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantList>

#include <functional>

class AppState;

// One account's card, ready to bind: the texts, the ring's share and colour, and the limit
// rows shown when expanded. Follows the state, its name the accounts too; expansion is set by
// the popover.
class ProviderCardViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the popover")
    Q_PROPERTY(QString providerKey READ providerKey CONSTANT)
    Q_PROPERTY(QString name READ name NOTIFY nameChanged)
    Q_PROPERTY(QUrl logo READ logo CONSTANT)
    Q_PROPERTY(QString summary READ summary NOTIFY changed)
    Q_PROPERTY(bool hasUsage READ hasUsage NOTIFY changed)
    Q_PROPERTY(double ringProgress READ ringProgress NOTIFY changed)
    // The ring's UsageColor (red, yellow, blue); the theme gives its shade.
    Q_PROPERTY(int ringTone READ ringTone NOTIFY changed)
    Q_PROPERTY(QString ringAccessibilityLabel READ ringAccessibilityLabel NOTIFY nameChanged)
    Q_PROPERTY(QString ringAccessibilityValue READ ringAccessibilityValue NOTIFY changed)
    Q_PROPERTY(QVariantList details READ details NOTIFY changed)
    Q_PROPERTY(QString detailsEmptyText READ detailsEmptyText NOTIFY changed)
    Q_PROPERTY(QString notice READ notice NOTIFY changed)
    Q_PROPERTY(QString money READ money NOTIFY changed)
    Q_PROPERTY(QString blockNotice READ blockNotice NOTIFY changed)
    // The values shown are kept through a failed refresh: the rings are dimmed.
    Q_PROPERTY(bool isStale READ isStale NOTIFY changed)
    Q_PROPERTY(QString accountText READ accountText NOTIFY changed)
    Q_PROPERTY(bool isExpanded READ isExpanded NOTIFY expansionChanged)
    Q_PROPERTY(bool isIndicatorActive READ isIndicatorActive NOTIFY expansionChanged)
    Q_PROPERTY(QString accessibilityHint READ accessibilityHint NOTIFY expansionChanged)

public:
    using Clock = std::function<Instant()>;

    // The history, when given, adds each row's pace and the readings of its period.
    ProviderCardViewModel(AppState& state, ProviderID provider, Clock clock = Instant::now,
                          const UsageHistory* history = nullptr, QObject* parent = nullptr);

    ProviderID provider() const { return provider_; }
    // The provider's raw value: "codex", "claude@work1", ...
    QString providerKey() const;
    // "Codex", or "Claude · work" while another Claude account is watched too.
    QString name() const;
    QUrl logo() const;
    // The summary, marked with its age when the last refresh brought nothing new.
    QString summary() const;
    bool hasUsage() const;
    // The share drawn by a ring: used / 100 clamped to 0...1, at least 0.01 so 0 % shows a dot.
    static double ringProgress(double usedPercent);
    double ringProgress() const;
    int ringTone() const;
    QString ringAccessibilityLabel() const;
    QString ringAccessibilityValue() const;
    // One map per limit row: title, mark, remainingText (the share left and when it resets, when
    // a spent one comes back, until when a blocked one is stopped), ringProgress, ringTone,
    // accessibilityLabel, paceText and trend (the period's readings, 0...1).
    QVariantList details() const;
    QString detailsEmptyText() const;
    // Why the values shown are not fresh; empty when they are.
    QString notice() const;
    QString money() const;
    QString blockNotice() const;
    bool isStale() const;
    // The plan, credits and banked resets under the limit rows; empty when none are known.
    QString accountText() const;

    bool isExpanded() const { return expanded_; }
    bool isIndicatorActive() const { return indicatorActive_; }
    QString accessibilityHint() const;
    void setExpansion(bool expanded, bool indicatorActive);

    // Reset times are relative: re-read the clock, as when the popover opens.
    void refreshTime();

    Q_INVOKABLE void toggle();

Q_SIGNALS:
    void changed();
    void nameChanged();
    void expansionChanged();
    void toggleRequested();

private:
    // The text, then the age of values a failed refresh kept, when there are such.
    QString withAge(const QString& text) const;
    AppState& state_;
    ProviderID provider_;
    Clock clock_;
    const UsageHistory* history_ = nullptr;
    bool expanded_ = false;
    bool indicatorActive_ = true;
};
