// The preference text-field styles in a real window under the offscreen platform (focus needs an
// active window), and the destructive label's colour.

#include "corbel/ui/PreferencesFields.hpp"

#include "KitViewTesting.hpp"
#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

struct StyleCase {
    const char* name;
    std::function<QWidget*(QLineEdit*)> style;
    CorbelFont role;
};

const std::vector<StyleCase> styleCases{
    {"preferences", preferencesFieldStyle, CorbelFont::support},
    {"panel", panelFieldStyle, CorbelFont::detail},
};

class FieldWindow : public ::testing::Test {
protected:
    // A shown, active window holding one styled field and a plain one to move focus to.
    void open(const StyleCase& style) {
        window = std::make_unique<QWidget>();
        window->resize(320, 100);
        paintAsWindow(*window, ColorScheme::light);
        field = new QLineEdit;
        capsule = style.style(field);
        capsule->setParent(window.get());
        capsule->setGeometry(20, 20, 200, capsule->sizeHint().height());
        other = new QLineEdit(window.get());
        other->setGeometry(20, 60, 100, 24);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other->setFocus();
        ASSERT_TRUE(other->hasFocus());
    }

    // The rings beside the capsule that are drawn.
    int ringsShown() const {
        int shown = 0;
        for (BrandFocusRing* ring : descendantsOf<BrandFocusRing>(*window)) {
            shown += ring->props().isOn && ring->isVisible() ? 1 : 0;
        }
        return shown;
    }

    std::unique_ptr<QWidget> window;
    QLineEdit* field = nullptr;
    QWidget* capsule = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(FieldWindow, BothStylesAre28HighWith12OnEachSideAndDifferOnlyInTheFont) {
    for (const StyleCase& style : styleCases) {
        SCOPED_TRACE(style.name);
        open(style);
        EXPECT_EQ(capsule->sizeHint().height(), 28);
        EXPECT_EQ(capsule->height(), 28);
        EXPECT_EQ(capsule->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        EXPECT_EQ(field->parentWidget(), capsule);
        EXPECT_EQ(field->x(), 12);
        EXPECT_EQ(field->width(), 200 - 24);
        EXPECT_NEAR(field->geometry().center().y(), 13.5, 1) << "the text centred in the capsule";
        EXPECT_FALSE(field->hasFrame());
        EXPECT_EQ(field->font().pixelSize(), roleFont(style.role).pixelSize());
        EXPECT_EQ(field->font().weight(), roleFont(style.role).weight());
    }
    EXPECT_NE(roleFont(CorbelFont::support).pixelSize(), roleFont(CorbelFont::detail).pixelSize());
}

TEST_F(FieldWindow, AClickAnywhereInTheCapsuleFocusesTheFieldUnlessItIsDisabled) {
    struct Click {
        QPoint at;
        bool enabled;
        bool focuses;
    };
    for (const Click& click : {Click{{4, 14}, true, true},   // in the padding before the text
                               Click{{196, 14}, true, true}, // in the padding after it
                               Click{{1, 1}, true, false},   // outside the rounded end
                               Click{{4, 14}, false, false}}) {
        SCOPED_TRACE(::testing::Message()
                     << click.at.x() << "," << click.at.y() << " enabled " << click.enabled);
        open(styleCases.front());
        capsule->setEnabled(click.enabled);
        QTest::mouseClick(capsule, Qt::LeftButton, {}, click.at);
        EXPECT_EQ(field->hasFocus(), click.focuses);
    }
}

TEST_F(FieldWindow, TheRingShowsOnlyOnceTheKeyboardHasBeenUsed) {
    open(styleCases.front());
    QTest::mouseClick(capsule, Qt::LeftButton, {}, QPoint(4, 14));
    ASSERT_TRUE(field->hasFocus());
    EXPECT_EQ(ringsShown(), 0) << "a click alone draws no ring";

    KitEnvironment::of(*window).setKeyboardUsed(true);
    EXPECT_EQ(ringsShown(), 1);
    const BrandFocusRing* ring = descendantsOf<BrandFocusRing>(*window).front();
    EXPECT_EQ(ring->props().shape, RingShape::capsule());

    other->setFocus();
    EXPECT_EQ(ringsShown(), 0) << "the ring follows the field's focus";
    field->setFocus();
    EXPECT_EQ(ringsShown(), 1);

    // The ring goes with the capsule.
    delete capsule;
    EXPECT_TRUE(descendantsOf<BrandFocusRing>(*window).empty());
}

TEST(DestructiveLabelTest, DarkRedInLightSalmonInDarkNeverTheSystemRed) {
    EXPECT_EQ(destructiveLabelColor(ColorScheme::light), QColor(152, 34, 27));
    EXPECT_EQ(destructiveLabelColor(ColorScheme::dark), QColor(255, 170, 160));
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        EXPECT_NE(destructiveLabelColor(scheme), systemColor(SystemColor::red, scheme));
        EXPECT_EQ(destructiveLabelColor(scheme).alpha(), 255);
    }
}

TEST(DestructiveLabelTest, ColoursALabelAndAButtonAndFollowsTheScheme) {
    QWidget host;
    paintAsWindow(host, ColorScheme::light);
    auto* label = new TextLabel({.text = u"Remove all rules"_s}, &host);
    auto* button = new KitButton({.title = u"Remove"_s}, &host);
    preferencesDestructiveLabel(*label);
    preferencesDestructiveLabel(*button);
    preferencesDestructiveLabel(*button); // once is enough; twice changes nothing
    EXPECT_EQ(button->children().size(), 1u);

    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark, ColorScheme::light}) {
        paintAsWindow(host, scheme);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), destructiveLabelColor(scheme));
        EXPECT_EQ(buttonLabelColor(ButtonStyle::bordered, QColor(Qt::blue), button->palette()),
                  destructiveLabelColor(scheme));
        EXPECT_EQ(schemeOf(label->palette()), scheme) << "the scheme itself is still inherited";
    }
}

} // namespace
} // namespace corbel
