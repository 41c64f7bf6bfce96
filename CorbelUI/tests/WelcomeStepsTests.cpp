// The step-by-step welcome: the size it asks its window for, its buttons, its checklist rows and
// details, and how it looks in each step state.

#include "KitViewTesting.hpp"
#include "WelcomeButton.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "corbel/ui/WelcomeStepDetail.hpp"
#include "corbel/ui/WelcomeStepRow.hpp"
#include "corbel/ui/WelcomeStepsSizing.hpp"

#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

const QColor brandBlue(36, 92, 242);

CorbelBrand brandOf(QColor color) {
    return CorbelBrand(u"Tidewright"_s, color, CorbelBrand::Connection::offline, QColor(107, 152, 255),
                       std::nullopt);
}

TEST(WelcomeStepsSizingTest, AsksForTheMeasuredPartsPlusMarginsAndGap) {
    struct Case {
        double step;
        double footer;
        std::optional<QSizeF> size;
    };
    for (const Case& c :
         {Case{300, 120, QSizeF(560, 532)}, Case{0, 120, std::nullopt}, Case{300, 0, std::nullopt},
          Case{0, 0, std::nullopt}, Case{1, 1, QSizeF(560, 114)}}) {
        EXPECT_EQ(WelcomeStepsSizing::windowSize(c.step, c.footer), c.size) << c.step << " + " << c.footer;
    }
}

TEST(WelcomeStepsSizingTest, ReportsOnlyWhenTheTotalChangesOrOnAppearing) {
    WelcomeStepsSizing sizing;
    EXPECT_EQ(sizing.appeared(), std::nullopt) << "nothing measured yet";
    EXPECT_EQ(sizing.measured(0, 120), std::nullopt) << "the step part is not measured yet";
    EXPECT_EQ(sizing.appeared(), std::nullopt);
    EXPECT_EQ(sizing.measured(300, 120), QSizeF(560, 532));
    EXPECT_EQ(sizing.measured(300, 120), std::nullopt) << "the same total again";
    EXPECT_EQ(sizing.measured(320, 100), std::nullopt) << "a different split of the same total";
    EXPECT_EQ(sizing.stepHeight(), 320);
    EXPECT_EQ(sizing.appeared(), QSizeF(560, 532)) << "a new window hears the size again";
    EXPECT_EQ(sizing.measured(340, 100), QSizeF(560, 552));
    EXPECT_EQ(sizing.measured(340, 0), std::nullopt) << "a part that lost its height";
    EXPECT_EQ(sizing.measured(340, 100), QSizeF(560, 552)) << "and came back";
}

TEST(WelcomeStepsButtonTest, ACopyIsEqualANewActionIsNot) {
    int runs = 0;
    const WelcomeStepsButton button(u"Continue"_s, false, [&] { ++runs; });
    const WelcomeStepsButton copy = button;
    EXPECT_EQ(copy, button);
    EXPECT_NE(WelcomeStepsButton(u"Continue"_s, false, [&] { ++runs; }), button);
    copy.run();
    WelcomeStepsButton(u"Continue"_s, true, [&] { ++runs; }).run();
    WelcomeStepsButton(u"Continue"_s, false, nullptr).run();
    EXPECT_EQ(runs, 1) << "a disabled button or one without an action runs nothing";
}

TEST(WelcomeButtonTest, TheProminentLabelContrastsWithTheBrandColour) {
    struct Case {
        const char* name;
        QColor brand;
        QColor label;
    };
    // The brand blue's encoded components would suggest black (3.9:1); its linear luminance gives
    // white (5.4:1), which is what a 15-pixel label needs.
    for (const Case& c : {Case{"the brand blue gives a white label", brandBlue, Qt::white},
                          Case{"pure yellow gives a black label", QColor(255, 255, 0), Qt::black},
                          Case{"a dark blue gives a white label", QColor(0, 0, 128), Qt::white}}) {
        QWidget host;
        auto* button = new WelcomeButton(true, host);
        button->setDescriptor(WelcomeStepsButton(u"Get Started"_s, false, nullptr), brandOf(c.brand));
        EXPECT_EQ(button->props().labelColor, c.label) << c.name;
        EXPECT_EQ(button->props().tint, c.brand) << c.name;
        EXPECT_EQ(button->props().style, ButtonStyle::glassProminent);
        EXPECT_EQ(button->props().size, ControlSize::extraLarge);
        EXPECT_EQ(button->props().role, CorbelFont::supportSemibold);
    }
}

TEST(WelcomeButtonTest, DisabledKeepsAHalfCapsuleAndIgnoresInput) {
    QWidget host;
    int runs = 0;
    auto* prominent = new WelcomeButton(true, host);
    auto* plain = new WelcomeButton(false, host);
    for (WelcomeButton* button : {prominent, plain}) {
        button->setDescriptor(WelcomeStepsButton(u"Continue"_s, true, [&] { ++runs; }), brandOf(brandBlue));
        button->resize(button->sizeHint());
        EXPECT_GE(button->height(), 25);
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Space);
    }
    EXPECT_EQ(runs, 0);
    ASSERT_TRUE(prominent->capsuleColor());
    EXPECT_NEAR(prominent->capsuleColor()->alphaF(), 0.5, 1e-3);
    EXPECT_EQ(plain->capsuleColor(), std::nullopt) << "only the prominent button has the capsule";
    EXPECT_EQ(plain->props().style, ButtonStyle::bordered);
    EXPECT_EQ(plain->props().labelColor, std::nullopt) << "the primary label colour";

    prominent->setDescriptor(WelcomeStepsButton(u"Continue"_s, false, [&] { ++runs; }), brandOf(brandBlue));
    EXPECT_EQ(prominent->capsuleColor()->alphaF(), 1.0F);
    QTest::mouseClick(prominent, Qt::LeftButton);
    EXPECT_EQ(runs, 1);
}

TEST(WelcomeStepRowTest, EachStateShowsItsIconCelebrationAndAction) {
    struct Case {
        WelcomeStepState state;
        QString symbol;
        bool celebration;
        bool action;
    };
    const std::vector<Case> cases{
        {WelcomeStepState::todo, u"circle"_s, false, true},
        {WelcomeStepState::done, u"checkmark.circle.fill"_s, true, false},
        {WelcomeStepState::attention, u"exclamationmark.triangle"_s, false, true},
    };
    for (const Case& c : cases) {
        for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            QWidget host;
            paintAsWindow(host, scheme);
            auto* row = new WelcomeStepRow(
                {.state = c.state,
                 .celebration = u"You're all set"_s,
                 .action = WelcomeStepsButton(u"Allow"_s, false, nullptr)},
                brandOf(brandBlue), {new TextLabel({.text = u"Tidewright moves windows for you."_s})}, &host);
            EXPECT_EQ(row->icon().props().name, c.symbol);
            EXPECT_EQ(row->icon().props().color, welcomeStepColor(c.state, scheme));
            EXPECT_TRUE(row->icon().props().accessibilityHidden);
            EXPECT_EQ(row->icon().sizeHint().width(), 20);
            EXPECT_EQ(row->showsCelebration(), c.celebration);
            EXPECT_EQ(row->showsAction(), c.action);
            EXPECT_EQ(row->celebration().isVisibleTo(row), c.celebration);
            EXPECT_EQ(row->actionButton().isVisibleTo(row), c.action);
            EXPECT_EQ(row->celebration().props().color, PrivacyGreen::color(scheme));
        }
    }
    // The colours themselves, where the scheme decides.
    EXPECT_EQ(welcomeStepColor(WelcomeStepState::attention, ColorScheme::light), QColor(184, 80, 0));
    EXPECT_EQ(welcomeStepColor(WelcomeStepState::attention, ColorScheme::dark),
              systemColor(SystemColor::orange, ColorScheme::dark));
    EXPECT_EQ(welcomeStepColor(WelcomeStepState::done, ColorScheme::light),
              QColor::fromRgbF(0.09F, 0.44F, 0.18F));
    EXPECT_EQ(welcomeStepColor(WelcomeStepState::todo, ColorScheme::dark),
              BrandPalette::support(ColorScheme::dark));
}

TEST(WelcomeStepRowTest, DoneWithoutCelebrationOrActionShowsNeither) {
    WelcomeStepRow row({.state = WelcomeStepState::done}, brandOf(brandBlue), {});
    EXPECT_FALSE(row.showsCelebration());
    EXPECT_FALSE(row.showsAction());
    row.setProps({.state = WelcomeStepState::todo});
    EXPECT_FALSE(row.showsAction()) << "no action was given";
}

TEST(WelcomeStepRowTest, TheActionRunsTheLatestDescriptor) {
    QWidget host;
    std::vector<int> runs;
    auto* row =
        new WelcomeStepRow({.state = WelcomeStepState::todo,
                            .action = WelcomeStepsButton(u"Allow"_s, false, [&] { runs.push_back(1); })},
                           brandOf(brandBlue), {}, &host);
    auto& button = const_cast<WelcomeButton&>(row->actionButton());
    button.resize(button.sizeHint());
    QTest::mouseClick(&button, Qt::LeftButton);
    // Same title, new closure: the row must not keep running the old one.
    row->setProps({.state = WelcomeStepState::attention,
                   .action = WelcomeStepsButton(u"Allow"_s, false, [&] { runs.push_back(2); })});
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(runs, (std::vector<int>{1, 2}));
    EXPECT_FALSE(button.prominent());
}

TEST(WelcomeStepRowTest, DetailTextTakesTheSupportColourAndTheRowGrowsWithIt) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        QWidget host;
        paintAsWindow(host, scheme);
        auto* own = new TextLabel({.text = u"Own colour"_s, .color = QColor(Qt::red)});
        auto* plain = new TextLabel({.text = u"Tidewright moves and resizes the windows of others."_s});
        auto* row =
            new WelcomeStepRow({.state = WelcomeStepState::todo}, brandOf(brandBlue), {plain, own}, &host);
        EXPECT_EQ(plain->palette().color(QPalette::WindowText), BrandPalette::support(scheme));
        EXPECT_EQ(own->props().color, QColor(Qt::red));
        // Padded 12 above and below; the text wraps in what is left beside the 20-pixel icon.
        const int narrow = row->heightForWidth(240);
        const int wide = row->heightForWidth(600);
        EXPECT_GT(narrow, wide);
        EXPECT_EQ(plain->linesAt(600 - 32).texts.size(), 1u);
        EXPECT_GT(plain->linesAt(240 - 32).texts.size(), 1u);
        // The detail's own widgets stack without spacing; the hidden celebration and action take none.
        EXPECT_EQ(wide, 12 + plain->heightForWidth(600 - 32) + own->heightForWidth(600 - 32) + 12);
    }
}

TEST(WelcomeStepDetailTest, IndentsItsContentAndKeepsItsSpacing) {
    auto* first = new TextLabel({.text = u"First"_s});
    auto* second = new TextLabel({.text = u"Second"_s});
    WelcomeStepDetail detail({.spacing = 6}, {first, second});
    testing::renderOffscreen(detail, QSize(400, detail.heightForWidth(400)));
    EXPECT_EQ(first->x(), 32);
    EXPECT_EQ(first->width(), 400 - 32);
    EXPECT_EQ(second->y() - first->geometry().bottom() - 1, 6);
    EXPECT_EQ(detail.height() - second->geometry().bottom() - 1, 12);
    detail.setProps({.spacing = 10});
    testing::renderOffscreen(detail, QSize(400, detail.heightForWidth(400)));
    EXPECT_EQ(second->y() - first->geometry().bottom() - 1, 10);
}

} // namespace
} // namespace corbel
