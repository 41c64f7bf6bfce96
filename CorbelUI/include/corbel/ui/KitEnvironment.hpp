#pragma once
// The kit's environment values that Qt does not propagate by itself: keyboard use, the update
// notifier, the fixed window's size report, the text-size factor and increased contrast. A widget
// hosts a KitEnvironment (a child object made on first use); a value set there holds for the host
// and every descendant until a nearer host sets it again, and unset values come from further up
// or the defaults. Every change is delivered to the host and its descendants as a
// KitEnvironmentChangeEvent. Main thread only.

#include <QEvent>
#include <QObject>
#include <QSizeF>

#include <functional>
#include <optional>

class QWidget;

namespace corbel {

class UpdateNotifier;

// How self-sizing content tells the fixed window that hosts it the size it needs.
struct FixedWindowSizeReport {
    std::function<void(QSizeF)> report;
};

// The values as one widget sees them.
struct KitEnvironmentValues {
    bool keyboardUsed = false;
    UpdateNotifier* updateNotifier = nullptr; // not owned; absent by default
    std::optional<FixedWindowSizeReport> fixedWindowSize;
    double textSizeFactor = 1;
    bool increasedContrast = false;
};

enum class KitEnvironmentKey {
    keyboardUsed,
    updateNotifier,
    fixedWindowSize,
    textSizeFactor,
    increasedContrast,
};

class KitEnvironmentChangeEvent : public QEvent {
public:
    explicit KitEnvironmentChangeEvent(KitEnvironmentKey key);
    ~KitEnvironmentChangeEvent() override;

    static QEvent::Type eventType();
    KitEnvironmentKey key() const noexcept { return key_; }

private:
    KitEnvironmentKey key_;
};

class KitEnvironment : public QObject {
public:
    // The host's own environment, made on first use and owned by the host.
    static KitEnvironment& of(QWidget& host);
    // What `widget` sees: for each value the nearest setting on it or an ancestor, else the default.
    static KitEnvironmentValues values(const QWidget& widget);

    // Each setter delivers a change event only when the value set here changes. The notifier and
    // the report are compared by identity: setting a new report always notifies.
    void setKeyboardUsed(bool used);
    void setUpdateNotifier(UpdateNotifier* notifier);
    void setFixedWindowSize(std::optional<FixedWindowSizeReport> report);
    void setTextSizeFactor(double factor);
    void setIncreasedContrast(bool increased);
    // Makes the value inherited again.
    void clear(KitEnvironmentKey key);

private:
    explicit KitEnvironment(QWidget& host);
    void changed(KitEnvironmentKey key);

    QWidget& host_;
    std::optional<bool> keyboardUsed_;
    std::optional<UpdateNotifier*> updateNotifier_;
    std::optional<std::optional<FixedWindowSizeReport>> fixedWindowSize_;
    std::optional<double> textSizeFactor_;
    std::optional<bool> increasedContrast_;
};

} // namespace corbel
