// The welcome view: its three states, the step's button and when it asks or opens the settings,
// the footer buttons, the shortcut list, and how it looks in English and German.

#include "tidewright/views/TidewrightWelcome.hpp"

#include "ViewsTesting.hpp"
#include "corbel/ui/KeyCaps.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/PreferencesRows.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "corbel/ui/WelcomeStepDetail.hpp"
#include "corbel/ui/WelcomeStepsLayout.hpp"
#include "tidewright/views/TidewrightCopy.hpp"
#include "tidewright/views/TidewrightShortcutPresentation.hpp"

#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "WelcomeButton.hpp" // the kit's own: the step row hands its button out as one

namespace tidewright {
namespace {

using namespace Qt::Literals::StringLiterals;
using corbel::ColorScheme;
using corbel::WelcomeStepState;
using testing::english;
using testing::german;

QString en(TidewrightCopy copy) {
    return localizedCopy(copy, english);
}

struct Window {
    QWidget host;
    TidewrightWelcome* view;

    Window(TidewrightWelcome::Props props, TidewrightWelcomeActions actions = {}, bool asked = false,
           ColorScheme scheme = ColorScheme::light, const QLocale& locale = english) {
        testing::prepareHost(host, scheme, locale);
        auto* column = new QVBoxLayout(&host);
        column->setContentsMargins(0, 0, 0, 0);
        view = new TidewrightWelcome(props, std::move(actions), asked, &host);
        column->addWidget(view);
    }
    QImage render() { return corbel::testing::renderOffscreen(host, QSize(560, host.heightForWidth(560))); }
};

struct Shown {
    WelcomeStepState state;
    QString first;
    std::optional<QString> second;
    std::optional<QString> button; // the step's button, none when it shows none
    bool shortcuts;
};

Shown shownBy(const TidewrightWelcome& view) {
    corbel::WelcomeStepRow& row = view.stepRow();
    return {row.props().state,
            view.firstStepText().props().text,
            view.secondStepText().isVisibleTo(&view) ? std::optional(view.secondStepText().props().text) : std::nullopt,
            row.showsAction() ? std::optional(row.actionButton().props().title) : std::nullopt,
            view.shortcutList().isVisibleTo(&view)};
}

void expectShown(const TidewrightWelcome& view, const Shown& expected) {
    const Shown shown = shownBy(view);
    EXPECT_EQ(shown.state, expected.state);
    EXPECT_EQ(shown.first, expected.first);
    EXPECT_EQ(shown.second, expected.second);
    EXPECT_EQ(shown.button, expected.button);
    EXPECT_EQ(shown.shortcuts, expected.shortcuts);
}

// Made when asked: the texts can be looked up only once the application runs.
Shown todo() {
    return {WelcomeStepState::todo, en(TidewrightCopy::moveDescription), en(TidewrightCopy::movePrivacy),
            en(TidewrightCopy::allow), false};
}
Shown attention() {
    return {WelcomeStepState::attention, en(TidewrightCopy::moveRemaining), std::nullopt,
            en(TidewrightCopy::systemSettings), false};
}
Shown done() {
    return {WelcomeStepState::done, en(TidewrightCopy::tryShortcuts), std::nullopt, std::nullopt, true};
}

TEST(TidewrightWelcomeTest, EachPermissionAndAskedShowItsStep) {
    struct Case {
        PermissionState permission;
        bool asked;
        Shown shown;
    };
    for (const Case& c : {Case{PermissionState::unknown, false, todo()}, Case{PermissionState::denied, false, todo()},
                          Case{PermissionState::unknown, true, attention()},
                          Case{PermissionState::denied, true, attention()},
                          Case{PermissionState::granted, false, done()}, Case{PermissionState::granted, true, done()}}) {
        SCOPED_TRACE(::testing::PrintToString(static_cast<int>(c.permission)) + (c.asked ? " asked" : ""));
        Window window({.permissions = {c.permission}}, {}, c.asked);
        expectShown(*window.view, c.shown);
        EXPECT_EQ(window.view->stepsLayout().props().isStepDone, c.permission == PermissionState::granted);
        EXPECT_EQ(window.view->stepRow().showsCelebration(), c.permission == PermissionState::granted);
        EXPECT_EQ(window.view->stepRow().celebration().props().text, en(TidewrightCopy::moveCelebration));
    }
}

TEST(TidewrightWelcomeTest, TheLayoutGetsTheTextsAndBothFooterButtonsFinishOnce) {
    int finished = 0;
    Window window({.permissions = {PermissionState::denied}}, {.finish = [&] { ++finished; }});
    const corbel::WelcomeStepsLayout::Props& layout = window.view->stepsLayout().props();
    EXPECT_EQ(layout.title, en(TidewrightCopy::welcomeTitle));
    EXPECT_EQ(layout.lead, en(TidewrightCopy::welcomeLead));
    EXPECT_EQ(layout.stepTitle, en(TidewrightCopy::moveStepTitle));
    EXPECT_EQ(layout.step, 1);
    EXPECT_EQ(layout.stepCount, 1);
    EXPECT_EQ(layout.stepLabel, std::nullopt);
    EXPECT_EQ(layout.privacy, en(TidewrightCopy::privacy));
    EXPECT_EQ(layout.privacySymbol, u"rectangle"_s);
    EXPECT_EQ(layout.note, en(TidewrightCopy::welcomeNote));
    EXPECT_EQ(layout.back, std::nullopt);
    ASSERT_TRUE(layout.skip);
    EXPECT_EQ(layout.skip->title, en(TidewrightCopy::skipSetup));
    EXPECT_FALSE(layout.skip->isDisabled);
    EXPECT_EQ(layout.primary.title, en(TidewrightCopy::getStarted));
    EXPECT_FALSE(layout.primary.isDisabled);

    window.render();
    QTest::mouseClick(&window.view->stepsLayout().skipButton(), Qt::LeftButton);
    EXPECT_EQ(finished, 1);
    QTest::mouseClick(&window.view->stepsLayout().primaryButton(), Qt::LeftButton);
    EXPECT_EQ(finished, 2);
}

TEST(TidewrightWelcomeTest, AllowAsksOnceThenTheButtonOpensTheSettings) {
    std::vector<std::string> calls;
    TidewrightWelcome* view = nullptr;
    Window window({.permissions = {PermissionState::unknown}},
                  {.requestPermission = [&] { calls.push_back(view->asked() ? "request after asked" : "request"); },
                   .openSystemSettings = [&] { calls.push_back("settings"); }});
    view = window.view;
    window.render();
    auto& button = const_cast<corbel::WelcomeButton&>(view->stepRow().actionButton());
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(calls, std::vector<std::string>{"request after asked"});
    expectShown(*view, attention());

    window.render();
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(calls, (std::vector<std::string>{"request after asked", "settings"})) << "it does not ask again";

    // The grant arrives while the window is open.
    view->setProps({.permissions = {PermissionState::granted}});
    expectShown(*view, done());
    EXPECT_TRUE(view->asked());

    // A new view starts from the value it is given.
    Window fresh({.permissions = {PermissionState::denied}});
    EXPECT_FALSE(fresh.view->asked());
    expectShown(*fresh.view, todo());
}

TEST(TidewrightWelcomeTest, TheShortcutListReadsEachShortcutByItsActionAndKey) {
    Window window({.permissions = {PermissionState::granted}});
    TidewrightWelcome& view = *window.view;
    window.render();
    int previous = -1;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        QWidget& row = view.shortcutRow(shortcut);
        EXPECT_GT(row.mapTo(&view, QPoint()).y(), previous) << "in the hot keys' order";
        previous = row.mapTo(&view, QPoint()).y();
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&row)->childCount(), 0);
        EXPECT_EQ(testing::accessibleText(row), localizedCopy(shortcutTitle(shortcut), english) + u", "_s +
                                                    localizedCopy(shortcutKeyText(shortcut), english));
    }
    EXPECT_EQ(testing::accessibleText(view.shortcutRow(FixedShortcut::left)),
              en(TidewrightCopy::leftHalf) + u", "_s + en(TidewrightCopy::leftKey));
    // The list stands in the step's detail, indented past the step's icon to the texts' edge.
    EXPECT_EQ(view.shortcutRow(FixedShortcut::left).mapTo(&view, QPoint()).x(),
              view.firstStepText().mapTo(&view, QPoint()).x());
}

TEST(TidewrightWelcomeTest, TheSwitchAsksAndTheOwnerAnswers) {
    std::vector<bool> asked;
    Window window({.permissions = {PermissionState::denied}}, {.setOpensAtLogin = [&](bool on) { asked.push_back(on); }});
    window.render();
    corbel::KitSwitch& toggle = window.view->stepsLayout().loginRow().toggle();
    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_EQ(asked, std::vector<bool>{true});
    EXPECT_FALSE(toggle.props().isOn);
    window.view->setProps({.opensAtLogin = true, .permissions = {PermissionState::denied}});
    EXPECT_TRUE(toggle.props().isOn);
}

struct Look {
    const char* name;
    PermissionState permission;
    bool asked;
    QLocale locale;
    ColorScheme scheme;
};

class WelcomeLook : public ::testing::TestWithParam<Look> {};

TEST_P(WelcomeLook, Window) {
    const Look& look = GetParam();
    Window window({.permissions = {look.permission}}, {}, look.asked, look.scheme, look.locale);
    EXPECT_TRUE(testing::goldens().matches(QString::fromLatin1(look.name), window.render()));
}

INSTANTIATE_TEST_SUITE_P(
    States, WelcomeLook,
    ::testing::Values(Look{"welcome-todo-en", PermissionState::unknown, false, english, ColorScheme::light},
                      Look{"welcome-todo-de", PermissionState::unknown, false, german, ColorScheme::light},
                      Look{"welcome-asked-en", PermissionState::denied, true, english, ColorScheme::dark},
                      Look{"welcome-asked-de", PermissionState::denied, true, german, ColorScheme::dark},
                      Look{"welcome-granted-en", PermissionState::granted, false, english, ColorScheme::light},
                      Look{"welcome-granted-de", PermissionState::granted, false, german, ColorScheme::dark}),
    [](const ::testing::TestParamInfo<Look>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace tidewright
