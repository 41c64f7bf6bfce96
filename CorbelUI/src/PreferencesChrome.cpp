#include "corbel/ui/PreferencesChrome.hpp"

#include "corbel/ui/BrandBackground.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"

#include <QEvent>
#include <QVBoxLayout>

namespace corbel {
namespace {

// The background is decoration: tools never see it.
class ChromeBackground : public BrandBackground, public KitAccessibleView {
public:
    using BrandBackground::BrandBackground;

    bool accessibleHidden() const override { return true; }
};

KeyboardUseMonitor monitorOver(LocalKeyDownMonitoring* keys) {
    return keys != nullptr ? KeyboardUseMonitor(*keys) : KeyboardUseMonitor();
}

} // namespace

PreferencesChrome::PreferencesChrome(CorbelBrand brand, int width, QWidget* content, QWidget* parent,
                                     LocalKeyDownMonitoring* keys)
    : QWidget(parent), brand_(std::move(brand)), width_(width),
      content_(content != nullptr ? content : new QWidget), keys_(monitorOver(keys)) {
    background_ = new ChromeBackground({.brand = brand_.color()}, this);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(sidePadding, topPadding, sidePadding, sidePadding);
    frame->setSpacing(0);
    frame->addWidget(content_, 0, Qt::AlignTop);
    setFixedWidth(width_);
    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refreshTint();
    setKeyboardUsed(false);
}

PreferencesChrome::~PreferencesChrome() {
    keys_.stop(); // the handler refers to this chrome
}

QSize PreferencesChrome::sizeHint() const {
    return {width_, heightForWidth(width_)};
}

int PreferencesChrome::heightForWidth(int) const {
    const QLayout& frame = *layout();
    return frame.hasHeightForWidth() ? frame.totalHeightForWidth(width_) : frame.totalSizeHint().height();
}

void PreferencesChrome::startKeys() {
    keys_.start([this](QEvent&) {
        // Every time, also when already set, and the press goes on as it came.
        setKeyboardUsed(true);
        return KeyDelivery::deliver;
    });
}

void PreferencesChrome::setKeyboardUsed(bool used) {
    session_.keyboardUsed = used;
    KitEnvironment::of(*this).setKeyboardUsed(session_.keyboardUsed);
}

void PreferencesChrome::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    appearsActive_ = isActiveWindow();
    if (*appearsActive_) {
        startKeys();
    }
}

void PreferencesChrome::hideEvent(QHideEvent* event) {
    keys_.stop();
    appearsActive_.reset();
    QWidget::hideEvent(event);
}

void PreferencesChrome::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && appearsActive_) {
        const bool active = isActiveWindow();
        if (active != *appearsActive_) {
            appearsActive_ = active;
            if (active) {
                // Coming back to the window starts over: rings wait for the next key press.
                setKeyboardUsed(false);
                startKeys();
            } else {
                keys_.stop();
            }
        }
    } else if (event->type() == QEvent::PaletteChange) {
        refreshTint();
    }
    QWidget::changeEvent(event);
}

void PreferencesChrome::resizeEvent(QResizeEvent* event) {
    background_->setGeometry(rect());
    background_->lower();
    QWidget::resizeEvent(event);
}

void PreferencesChrome::refreshTint() {
    const QColor accent = brand_.accent(schemeOf(palette()));
    if (palette().color(QPalette::Active, QPalette::Highlight) == accent) {
        return;
    }
    // Only the tint is the chrome's own: the other colours stay as set here or inherited, so they
    // still follow the window's scheme.
    QPalette tinted = palette();
    tinted.setColor(QPalette::Highlight, accent);
    setPalette(tinted);
}

} // namespace corbel
