// The step-by-step welcome: the size it asks its window for, its buttons, its checklist rows and
// details, and how it looks in each step state.

#include "KitViewTesting.hpp"
#include "WelcomeButton.hpp"
#include "WelcomeStepsParts.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/PreferencesRows.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "corbel/ui/WelcomeStepDetail.hpp"
#include "corbel/ui/WelcomeStepRow.hpp"
#include "corbel/ui/WelcomeStepsLayout.hpp"
#include "corbel/ui/WelcomeStepsSizing.hpp"

#include <QCoreApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(WelcomeButtonTest, AnEnabledProminentLabelDrawsItsColourAtFullStrength) {
    // The brightest pixel of the label: pure white when enabled, dimmed only when disabled.
    auto brightest = [](bool disabled) {
        QWidget host;
        paintAsWindow(host, ColorScheme::dark);
        auto* button = new WelcomeButton(true, host);
        button->setDescriptor(WelcomeStepsButton(u"Get Started"_s, disabled, nullptr), brandOf(brandBlue));
        const QImage image = testing::renderOffscreen(*button, button->sizeHint());
        int best = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                best = std::max(best, std::min({pixel.red(), pixel.green(), pixel.blue()}));
            }
        }
        return best;
    };
    EXPECT_GE(brightest(false), 250);
    EXPECT_LT(brightest(true), 200);
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

TEST(WelcomeStepDetailTest, BesideAStepRowItLinesUpWithTheRowsTexts) {
    QWidget card;
    auto* column = new QVBoxLayout(&card);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* rowText = new TextLabel({.text = u"Allow window control."_s});
    auto* detailText = new TextLabel({.text = u"Try it."_s});
    column->addWidget(new WelcomeStepRow({.state = WelcomeStepState::todo}, brandOf(brandBlue), {rowText}));
    column->addWidget(new WelcomeStepDetail({.spacing = 8}, {detailText}));
    testing::renderOffscreen(card, QSize(400, card.heightForWidth(400)));
    EXPECT_EQ(detailText->mapTo(&card, QPoint()).x(), rowText->mapTo(&card, QPoint()).x());
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

// A window that records what the layout asks it for.
struct SizeRecorder {
    QWidget host;
    std::vector<QSizeF> reports;

    SizeRecorder() {
        paintAsWindow(host, ColorScheme::light);
        KitEnvironment::of(host).setFixedWindowSize(FixedWindowSizeReport{[this](QSizeF size) {
            reports.push_back(size);
        }});
    }
};

WelcomeStepsLayout::Props stepProps() {
    return {.title = u"Welcome to Tidewright"_s,
            .lead = u"Move and resize windows from the keyboard."_s,
            .step = 1,
            .stepCount = 2,
            .stepLabel = u"Step 1 of 2"_s,
            .stepTitle = u"Allow window control"_s,
            .privacy = u"Your windows stay on this computer"_s,
            .privacySymbol = u"hand.raised"_s,
            .primary = WelcomeStepsButton(u"Continue"_s, false, nullptr)};
}

TEST(WelcomeStepDotsTest, OneDotPerStepAndOnlyTheCurrentOneLit) {
    struct Case {
        int step;
        int count;
        std::vector<bool> dots;
    };
    for (const Case& c : {Case{1, 0, {true}}, Case{1, 1, {true}}, Case{2, 3, {false, true, false}},
                          Case{0, 3, {false, false, false}}, Case{4, 3, {false, false, false}},
                          Case{-1, -5, {false}}, Case{3, 3, {false, false, true}}}) {
        EXPECT_EQ(welcomeStepDots(c.step, c.count), c.dots) << c.step << " of " << c.count;
    }
}

TEST(WelcomeStepsLayoutTest, AsksTheWindowForItsMeasuredPartsOnceItIsInOne) {
    SizeRecorder window;
    auto* layout = new WelcomeStepsLayout(stepProps(), brandOf(brandBlue),
                                          {new TextLabel({.text = u"Grant the permission."_s})});
    EXPECT_TRUE(window.reports.empty()) << "outside a fixed window nothing is reported";
    layout->setParent(&window.host);
    ASSERT_EQ(window.reports.size(), 1u);
    const double step = layout->sizing().stepHeight();
    const double footer = layout->sizing().footerHeight();
    EXPECT_GT(step, 0);
    EXPECT_GT(footer, 0);
    EXPECT_EQ(window.reports[0], QSizeF(560, step + 80 + 32 + footer));

    // Laid out at the size it asked for, every part shows whole and nothing scrolls.
    testing::renderOffscreen(*layout, window.reports[0].toSize());
    EXPECT_EQ(layout->stepScroller().height(), step);
    EXPECT_EQ(layout->stepPart().height(), step);
    EXPECT_EQ(layout->footer().height(), footer);
    EXPECT_EQ(layout->footer().mapTo(layout, QPoint()).y(), 48 + step + 32);
    EXPECT_EQ(layout->stepPart().width(), 496);
    EXPECT_EQ(layout->stepScroller().mapTo(layout, QPoint()), QPoint(32, 48));

    // Equal props ask nothing; a note grows the footer and asks again.
    layout->setProps(stepProps());
    EXPECT_EQ(window.reports.size(), 1u);
    WelcomeStepsLayout::Props noted = stepProps();
    noted.note = u"You can change this later in Preferences."_s;
    layout->setProps(noted);
    ASSERT_EQ(window.reports.size(), 2u);
    EXPECT_GT(window.reports[1].height(), window.reports[0].height());
    EXPECT_EQ(layout->sizing().stepHeight(), step);
}

TEST(WelcomeStepsLayoutTest, TheCardsOwnChangesReachTheWindow) {
    SizeRecorder window;
    auto* text = new TextLabel({.text = u"Short"_s});
    auto* layout = new WelcomeStepsLayout(stepProps(), brandOf(brandBlue), {text}, &window.host);
    window.reports.clear();
    window.host.show(); // appearing tells the window again
    ASSERT_EQ(window.reports.size(), 1u);
    TextLabel::Props longer = text->props();
    longer.text = u"A longer explanation that wraps onto a second line and a third line in the card, "
                  u"because it goes on and on about windows, shortcuts and what Tidewright does."_s;
    text->setProps(longer);
    QCoreApplication::sendPostedEvents(); // the change travels up through layout requests
    ASSERT_GE(window.reports.size(), 2u);
    EXPECT_GT(window.reports.back().height(), window.reports[0].height());
    EXPECT_EQ(window.reports.back().height(), layout->heightForWidth(560));
}

TEST(WelcomeStepsLayoutTest, AShortWindowScrollsTheStepPartAndKeepsTheFooterWhole) {
    auto layout =
        std::make_unique<WelcomeStepsLayout>(stepProps(), brandOf(brandBlue), std::vector<QWidget*>{});
    const int needed = layout->heightForWidth(560);
    const int footer = static_cast<int>(layout->sizing().footerHeight());
    testing::renderOffscreen(*layout, QSize(560, needed - 100));
    EXPECT_EQ(layout->stepScroller().height(), static_cast<int>(layout->sizing().stepHeight()) - 100);
    EXPECT_EQ(layout->footer().height(), footer);
    EXPECT_EQ(layout->footer().mapTo(layout.get(), QPoint(0, footer)).y() + 32, needed - 100)
        << "the footer ends at the bottom margin";
    EXPECT_GT(layout->stepScroller().verticalScrollBar()->maximum(), 0);
}

TEST(WelcomeStepsLayoutTest, BadgeCounterAndButtonsFollowTheProps) {
    QWidget host;
    paintAsWindow(host, ColorScheme::light);
    auto* layout = new WelcomeStepsLayout(stepProps(), brandOf(brandBlue), {}, &host);
    testing::renderOffscreen(host, QSize(560, layout->heightForWidth(560)));
    auto& badge = static_cast<StepBadge&>(layout->badge());
    QColor faint = brandBlue;
    faint.setAlphaF(0.25F);
    EXPECT_EQ(badge.circleColor(), faint) << "the light scheme has no accent of its own";
    EXPECT_EQ(badge.size(), QSize(24, 24));
    EXPECT_TRUE(layout->counter().isVisibleTo(layout));
    EXPECT_FALSE(layout->skipButton().isVisibleTo(layout));
    EXPECT_FALSE(layout->backButton().isVisibleTo(layout));
    EXPECT_FALSE(layout->note().isVisibleTo(layout));
    // Alone, the primary button stands at the trailing end of the column.
    EXPECT_EQ(layout->primaryButton().mapTo(layout, QPoint(layout->primaryButton().width(), 0)).x(),
              560 - 32);

    WelcomeStepsLayout::Props done = stepProps();
    done.isStepDone = true;
    done.stepLabel.reset();
    done.skip = WelcomeStepsButton(u"Skip"_s, false, nullptr);
    done.back = WelcomeStepsButton(u"Back"_s, false, nullptr);
    layout->setProps(done);
    testing::renderOffscreen(host, QSize(560, layout->heightForWidth(560)));
    EXPECT_EQ(badge.circleColor(), std::nullopt) << "a checkmark instead";
    EXPECT_FALSE(layout->counter().isVisibleTo(layout));
    EXPECT_EQ(layout->skipButton().mapTo(layout, QPoint()).x(), 32) << "skip leads";
    EXPECT_EQ(layout->backButton().geometry().right() + 1 + 12, layout->primaryButton().x());
    EXPECT_EQ(layout->skipButton().props().style, ButtonStyle::bordered);
    EXPECT_TRUE(layout->primaryButton().prominent());
    EXPECT_EQ(layout->primaryButton().props().labelColor, QColor(Qt::white));

    // Dark: the badge and the current dot take the dark accent.
    paintAsWindow(host, ColorScheme::dark);
    layout->setProps(stepProps());
    QColor darkFaint(107, 152, 255);
    darkFaint.setAlphaF(0.25F);
    EXPECT_EQ(badge.circleColor(), darkFaint);
}

TEST(WelcomeStepsLayoutTest, ReturnRunsThePrimaryButtonUnlessItIsDisabled) {
    int primary = 0;
    int back = 0;
    WelcomeStepsLayout::Props props = stepProps();
    props.primary = WelcomeStepsButton(u"Continue"_s, false, [&] { ++primary; });
    props.back = WelcomeStepsButton(u"Back"_s, false, [&] { ++back; });
    WelcomeStepsLayout layout(props, brandOf(brandBlue), {});
    std::vector<bool> asked;
    layout.setOnOpensAtLoginChange([&](bool on) { asked.push_back(on); });
    layout.show();
    layout.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&layout));
    layout.backButton().setFocus();
    QTest::keyClick(layout.windowHandle(), Qt::Key_Return);
    EXPECT_EQ(primary, 1);
    EXPECT_EQ(back, 0) << "Return is the primary button's, whatever has focus";
    QTest::keyClick(layout.windowHandle(), Qt::Key_Space);
    EXPECT_EQ(back, 1) << "Space presses the focused button";

    props.primary = WelcomeStepsButton(u"Continue"_s, true, [&] { ++primary; });
    layout.setProps(props);
    QTest::keyClick(layout.windowHandle(), Qt::Key_Return);
    QTest::mouseClick(&layout.primaryButton(), Qt::LeftButton);
    EXPECT_EQ(primary, 1) << "a disabled primary button does not react";

    // The login switch asks; the owner answers through the props.
    KitSwitch& toggle = layout.loginRow().toggle();
    EXPECT_EQ(toggle.props().title, u"Open at Login"_s);
    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_EQ(asked, std::vector<bool>{true});
    EXPECT_FALSE(toggle.props().isOn);
    props.opensAtLogin = true;
    layout.setProps(props);
    EXPECT_TRUE(toggle.props().isOn);
}

class WelcomeStepsLook : public ::testing::TestWithParam<std::tuple<WelcomeStepState, ColorScheme>> {};

TEST_P(WelcomeStepsLook, WelcomeInEachStepState) {
    const auto [state, scheme] = GetParam();
    QWidget window;
    paintAsWindow(window, scheme);
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    const bool done = state == WelcomeStepState::done;
    WelcomeStepsLayout::Props props = stepProps();
    props.isStepDone = done;
    props.skip = WelcomeStepsButton(u"Not now"_s, false, nullptr);
    // Enabled in every state, as the application's welcome has it.
    props.primary = WelcomeStepsButton(u"Get Started"_s, false, nullptr);
    props.note = u"Tidewright works in the background; find it in the tray."_s;
    // The step's paragraphs stand in one column, so they start at one edge.
    auto* texts = new QWidget;
    auto* paragraphs = new QVBoxLayout(texts);
    paragraphs->setContentsMargins(0, 0, 0, 0);
    paragraphs->setSpacing(8);
    paragraphs->addWidget(new TextLabel({.text = u"Tidewright needs the window manager's permission to move and "
                                                 u"resize the windows of other applications."_s}));
    paragraphs->addWidget(new TextLabel({.text = u"Nothing else is read or recorded."_s}));
    auto* row = new WelcomeStepRow(
        {.state = state,
         .celebration = u"Window control is on"_s,
         .action = WelcomeStepsButton(state == WelcomeStepState::attention ? u"Try Again"_s : u"Allow"_s,
                                      false, nullptr)},
        brandOf(brandBlue), {texts});
    std::vector<QWidget*> card{row};
    if (done) {
        // A detail beside the row lines up with the row's texts.
        card.push_back(new WelcomeStepDetail(
            {.spacing = 8}, {new TextLabel({.text = u"Try it: press Control, Alt and the Left Arrow."_s})}));
    }
    column->addWidget(new WelcomeStepsLayout(props, brandOf(brandBlue), card));
    const char* stateName = state == WelcomeStepState::todo ? "todo" : done ? "done" : "attention";
    EXPECT_TRUE(kitGoldens().matches(
        u"welcome-steps-"_s + QLatin1String(stateName) + u"-"_s + QLatin1String(schemeName(scheme)),
        testing::renderOffscreen(window, QSize(560, window.heightForWidth(560)))));
}

INSTANTIATE_TEST_SUITE_P(States, WelcomeStepsLook,
                         ::testing::Combine(::testing::Values(WelcomeStepState::todo, WelcomeStepState::done,
                                                              WelcomeStepState::attention),
                                            ::testing::Values(ColorScheme::light, ColorScheme::dark)));

} // namespace
} // namespace corbel
