// The single-screen welcome: its permission rows in each state, the width it keeps, "Get Started"
// and Return, and the login switch that follows the shared login item.

#include "corbel/ui/WelcomeLayout.hpp"

#include "KitViewTesting.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "corbel/ui/PermissionRow.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"

#include <QAccessible>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

const QColor brandBlue(36, 92, 242);

CorbelBrand tidewright() {
    return CorbelBrand(u"Tidewright"_s, brandBlue, CorbelBrand::Connection::offline, QColor(107, 152, 255),
                       std::nullopt);
}

PermissionRow::Props accessibility(bool granted, bool optional) {
    return {.number = 1,
            .isGranted = granted,
            .isOptional = optional,
            .title = u"Window control"_s,
            .message = u"Lets Tidewright move and resize the windows of other applications."_s,
            .action = u"Allow"_s,
            .color = brandBlue};
}

TEST(PermissionRowTest, GrantedAndMissingRowsShowAndReadDifferently) {
    struct Case {
        bool granted;
        bool optional;
        QString symbol;
        QString spoken;
    };
    for (const Case& c : {Case{false, false, u"1.circle"_s, u"Not allowed yet"_s},
                          Case{false, true, u"1.circle"_s, u"Not allowed yet"_s},
                          Case{true, false, u"checkmark.circle.fill"_s, u"Allowed"_s},
                          Case{true, true, u"checkmark.circle.fill"_s, u"Allowed"_s}}) {
        for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            QWidget host;
            paintAsWindow(host, scheme);
            auto* row = new PermissionRow(accessibility(c.granted, c.optional), &host);
            EXPECT_EQ(row->status().props().name, c.symbol);
            EXPECT_EQ(row->status().props().color,
                      c.granted ? systemColor(SystemColor::green, scheme) : brandBlue);
            EXPECT_FALSE(row->status().props().accessibilityHidden);
            EXPECT_EQ(QAccessible::queryAccessibleInterface(const_cast<SymbolView*>(&row->status()))
                          ->text(QAccessible::Name),
                      c.spoken);
            EXPECT_EQ(row->button().isVisibleTo(row), !c.granted) << "the button asks only while missing";
            EXPECT_EQ(row->tag().isVisibleTo(row), c.optional) << "the tag shows in both states";
            EXPECT_EQ(row->tag().props().text, u"Optional"_s);
        }
    }
}

TEST(PermissionRowTest, GrantingSwapsTheSymbolAndTheButtonAsks) {
    QWidget host;
    auto* row = new PermissionRow(accessibility(false, false), &host);
    int asks = 0;
    row->setPerform([&] { ++asks; });
    auto& button = const_cast<KitButton&>(row->button());
    button.resize(button.sizeHint());
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(asks, 1);
    EXPECT_EQ(button.props().title, u"Allow"_s);
    EXPECT_EQ(button.props().style, ButtonStyle::glass);
    EXPECT_EQ(button.props().size, ControlSize::small);

    const int missingHeight = row->heightForWidth(400);
    row->setProps(accessibility(true, false));
    EXPECT_EQ(row->status().props().name, u"checkmark.circle.fill"_s);
    EXPECT_LT(row->heightForWidth(400), missingHeight) << "the button no longer takes room";
    // A number beyond one digit is still a numbered circle.
    PermissionRow::Props twelve = accessibility(false, false);
    twelve.number = 12;
    row->setProps(twelve);
    EXPECT_EQ(row->status().props().name, u"12.circle"_s);
}

class WelcomeLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        LoginItem::reset();
    }
    void TearDown() override { LoginItem::reset(); }

    std::shared_ptr<const platform::AutostartLoginItem> entry() const {
        return std::make_shared<const platform::AutostartLoginItem>(
            platform::AutostartLoginItem::Settings{root.filePath(u"config"_s),
                                                   {},
                                                   QFileInfo(u"/proc/self/exe"_s).canonicalFilePath(),
                                                   u"app.corbelthane.tidewright.desktop"_s,
                                                   u"Tidewright"_s,
                                                   {}});
    }
    void settle() {
        do {
            executor.runUntilIdle();
        } while (queue.step());
        executor.runUntilIdle();
    }
    std::unique_ptr<WelcomeLayout> makeLayout() {
        auto* first = new PermissionRow(accessibility(false, false));
        PermissionRow::Props second = accessibility(true, true);
        second.number = 2;
        second.title = u"Open at login"_s;
        return std::make_unique<WelcomeLayout>(
            WelcomeLayout::Props{.title = u"Welcome to Tidewright"_s,
                                 .subtitle = u"Move windows with the keyboard."_s,
                                 .privacy = u"Your windows stay yours"_s,
                                 .privacySymbol = u"hand.raised"_s},
            tidewright(), std::vector<QWidget*>{first, new PermissionRow(second)});
    }

    QTemporaryDir root;
    platform::ManualExecutor executor;
    platform::ManualSerialQueue queue;
};

TEST_F(WelcomeLayoutTest, IsFourHundredEightyWideWithTheContentInset) {
    std::unique_ptr<WelcomeLayout> layout = makeLayout();
    testing::renderOffscreen(*layout, QSize(480, layout->heightForWidth(480)));
    EXPECT_EQ(layout->width(), 480);
    EXPECT_EQ(layout->card().width(), 432);
    EXPECT_EQ(layout->card().x(), 24);
    EXPECT_EQ(layout->startButton().geometry().right(), 480 - 24 - 1) << "the button at the trailing end";
    EXPECT_EQ(layout->startButton().props().title, u"Get Started"_s);
    EXPECT_EQ(layout->startButton().props().labelColor, QColor(Qt::white)) << "on the brand blue";
    EXPECT_EQ(layout->loginSwitch().props().title, u"Open at Login"_s);
    EXPECT_EQ(layout->loginSwitch().props().tint, brandBlue);

    // An extra view stands between the headline and the card, at the column's spacing.
    auto* extra = new TextLabel({.text = u"Extra"_s});
    auto withExtra =
        std::make_unique<WelcomeLayout>(WelcomeLayout::Props{.title = u"Welcome"_s}, tidewright(),
                                        std::vector<QWidget*>{}, std::vector<QWidget*>{extra});
    auto plain = std::make_unique<WelcomeLayout>(WelcomeLayout::Props{.title = u"Welcome"_s}, tidewright(),
                                                 std::vector<QWidget*>{});
    EXPECT_EQ(withExtra->heightForWidth(480), plain->heightForWidth(480) + extra->heightForWidth(432) + 24);
}

TEST_F(WelcomeLayoutTest, GetStartedAndReturnRunStart) {
    std::unique_ptr<WelcomeLayout> layout = makeLayout();
    int starts = 0;
    layout->setStart([&] { ++starts; });
    layout->show();
    layout->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(layout.get()));
    QTest::mouseClick(&layout->startButton(), Qt::LeftButton);
    EXPECT_EQ(starts, 1);
    // Return runs it wherever the focus is, Enter too.
    layout->loginSwitch().setFocus();
    QTest::keyClick(layout->windowHandle(), Qt::Key_Return);
    QTest::keyClick(layout->windowHandle(), Qt::Key_Enter);
    EXPECT_EQ(starts, 3);
    EXPECT_FALSE(layout->loginSwitch().props().isOn) << "Return did not reach the switch";
}

TEST_F(WelcomeLayoutTest, TheSwitchShowsTheLoginItemReadAgainOnEveryShow) {
    LoginItem& item = LoginItem::install({entry(), &executor, &queue});
    std::unique_ptr<WelcomeLayout> layout = makeLayout();
    int notices = 0;
    const platform::Subscription counting = item.subscribe([&](bool) { ++notices; });
    layout->show();
    EXPECT_FALSE(layout->loginSwitch().props().isOn);
    EXPECT_EQ(notices, 0) << "an unchanged state notifies nobody";

    // Turned on elsewhere while the window was closed: the next show says so.
    layout->hide();
    entry()->registerItem();
    EXPECT_FALSE(layout->loginSwitch().props().isOn);
    layout->show();
    EXPECT_TRUE(layout->loginSwitch().props().isOn);
    EXPECT_EQ(notices, 1);

    // Turning the switch off unregisters; the switch moves once the state is read back.
    layout->loginSwitch().resize(layout->loginSwitch().sizeHint());
    QTest::mouseClick(&layout->loginSwitch(), Qt::LeftButton);
    settle();
    EXPECT_EQ(entry()->status(), platform::loginItemStatus::notRegistered);
    EXPECT_FALSE(layout->loginSwitch().props().isOn);
}

class WelcomeLayoutLook : public ::testing::TestWithParam<ColorScheme> {};

TEST_P(WelcomeLayoutLook, SingleScreenWelcome) {
    LoginItem::reset();
    const ColorScheme scheme = GetParam();
    QWidget window;
    paintAsWindow(window, scheme);
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    PermissionRow::Props second = accessibility(true, true);
    second.number = 2;
    second.title = u"Open at login"_s;
    second.message = u"Starts Tidewright when you log in, so the shortcuts are always there."_s;
    auto* layout = new WelcomeLayout(
        {.title = u"Welcome to Tidewright"_s,
         .subtitle = u"Move and resize windows from the keyboard, and let new windows "
                     u"open maximized or centred."_s,
         .privacy = u"Your windows stay on this computer"_s,
         .privacySymbol = u"hand.raised"_s},
        tidewright(), {new PermissionRow(accessibility(false, false)), new PermissionRow(second)});
    column->addWidget(layout);
    EXPECT_TRUE(
        kitGoldens().matches(u"welcome-single-screen-"_s + QLatin1String(schemeName(scheme)),
                             testing::renderOffscreen(window, QSize(480, window.heightForWidth(480)))));
    LoginItem::reset();
}

INSTANTIATE_TEST_SUITE_P(Schemes, WelcomeLayoutLook,
                         ::testing::Values(ColorScheme::light, ColorScheme::dark));

} // namespace
} // namespace corbel
