// The kit environment: per-value inheritance through the parent chain and change delivery.

#include "corbel/ui/KitEnvironment.hpp"

#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace corbel {
namespace {

// Records the environment changes it receives.
class Listener : public QWidget {
public:
    explicit Listener(QWidget* parent = nullptr) : QWidget(parent) {}
    std::vector<KitEnvironmentKey> heard;

protected:
    bool event(QEvent* event) override {
        if (event->type() == KitEnvironmentChangeEvent::eventType()) {
            heard.push_back(static_cast<KitEnvironmentChangeEvent*>(event)->key());
            return true;
        }
        return QWidget::event(event);
    }
};

TEST(KitEnvironmentTest, DefaultsWhereNoAncestorSetsAValue) {
    QWidget widget;
    const KitEnvironmentValues values = KitEnvironment::values(widget);
    EXPECT_FALSE(values.keyboardUsed);
    EXPECT_EQ(values.updateNotifier, nullptr);
    EXPECT_FALSE(values.fixedWindowSize.has_value());
    EXPECT_EQ(values.textSizeFactor, 1);
    EXPECT_FALSE(values.increasedContrast);
}

TEST(KitEnvironmentTest, EachValueComesFromTheNearestHostThatSetsIt) {
    Listener window;
    Listener middle(&window);
    Listener leaf(&middle);
    KitEnvironment::of(window).setKeyboardUsed(true);
    KitEnvironment::of(window).setTextSizeFactor(1.5);
    KitEnvironment::of(middle).setTextSizeFactor(2);
    QSizeF reported;
    KitEnvironment::of(middle).setFixedWindowSize(FixedWindowSizeReport{[&](QSizeF size) {
        reported = size;
    }});

    const KitEnvironmentValues values = KitEnvironment::values(leaf);
    EXPECT_TRUE(values.keyboardUsed);
    EXPECT_EQ(values.textSizeFactor, 2);
    ASSERT_TRUE(values.fixedWindowSize.has_value());
    values.fixedWindowSize->report(QSizeF(560, 300));
    EXPECT_EQ(reported, QSizeF(560, 300));
    EXPECT_EQ(KitEnvironment::values(window).textSizeFactor, 1.5);
    EXPECT_FALSE(KitEnvironment::values(window).fixedWindowSize.has_value());

    // A nearer host can set a value back to its default; clearing makes it inherited again.
    KitEnvironment::of(middle).setKeyboardUsed(false);
    EXPECT_FALSE(KitEnvironment::values(leaf).keyboardUsed);
    KitEnvironment::of(middle).clear(KitEnvironmentKey::keyboardUsed);
    EXPECT_TRUE(KitEnvironment::values(leaf).keyboardUsed);
    EXPECT_EQ(&KitEnvironment::of(middle), &KitEnvironment::of(middle));
}

TEST(KitEnvironmentTest, AChangeReachesTheHostAndItsDescendantsOnly) {
    Listener window;
    Listener host(&window);
    Listener child(&host);
    Listener grandchild(&child);
    Listener sibling(&window);

    KitEnvironment::of(host).setIncreasedContrast(true);
    const std::vector<KitEnvironmentKey> one{KitEnvironmentKey::increasedContrast};
    EXPECT_EQ(host.heard, one);
    EXPECT_EQ(child.heard, one);
    EXPECT_EQ(grandchild.heard, one);
    EXPECT_TRUE(window.heard.empty());
    EXPECT_TRUE(sibling.heard.empty());

    // Setting the same value again is no change; clearing an unset value neither.
    KitEnvironment::of(host).setIncreasedContrast(true);
    KitEnvironment::of(host).clear(KitEnvironmentKey::textSizeFactor);
    EXPECT_EQ(grandchild.heard, one);
    KitEnvironment::of(host).clear(KitEnvironmentKey::increasedContrast);
    EXPECT_EQ(grandchild.heard.size(), 2u);
}

TEST(KitEnvironmentTest, AReceiverMayDeleteWidgetsWhileTheChangeIsDelivered) {
    class Deleter : public QWidget {
    public:
        using QWidget::QWidget;
        QWidget* victim = nullptr;

    protected:
        bool event(QEvent* event) override {
            if (event->type() == KitEnvironmentChangeEvent::eventType()) {
                delete victim;
                victim = nullptr;
                return true;
            }
            return QWidget::event(event);
        }
    };
    QWidget host;
    auto* deleter = new Deleter(&host);
    deleter->victim = new Listener(&host);
    KitEnvironment::of(host).setKeyboardUsed(true);
    EXPECT_EQ(deleter->victim, nullptr);
}

} // namespace
} // namespace corbel
