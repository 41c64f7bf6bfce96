#pragma once
// Return and Enter run a window's default action whichever of its controls has focus, as the
// prominent button of a welcome promises. Disabled keys run nothing.

#include <QObject>

#include <functional>

class QShortcut;
class QWidget;

namespace corbel {

class DefaultActionKeys final : public QObject {
public:
    // Owned by `host`; the keys work while the host's window is active.
    DefaultActionKeys(QWidget& host, std::function<void()> action);

    void setEnabled(bool enabled);
    bool isEnabled() const noexcept { return enabled_; }

private:
    std::function<void()> action_;
    QShortcut* returnKey_;
    QShortcut* enterKey_;
    bool enabled_ = true;
};

} // namespace corbel
