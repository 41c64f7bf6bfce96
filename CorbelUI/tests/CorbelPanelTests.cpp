// The tray panel's chrome: header, status dot, switch, footer and its shortcuts, what it does each
// time it appears, the update card it shows, and how it looks.

#include "corbel/ui/CorbelPanel.hpp"

#include "KitViewTesting.hpp"
#include "corbel/ui/BrandBackground.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/Cards.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "corbel/ui/PanelActionRow.hpp"
#include "corbel/ui/PanelFooterButton.hpp"
#include "corbel/ui/PanelShortcutKeys.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "corbel/ui/UpdateCard.hpp"
#include "corbel/updates/UpdateNotifier.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"
#include "platform/observation/Observable.hpp"

#include <QApplication>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

const CorbelBrand brand(u"Tidewright"_s, QColor(36, 92, 242), CorbelBrand::Connection::offline,
                        QColor(107, 152, 255), std::nullopt);
const QStringList noArguments{u"tidewright"_s};

CorbelPanel::Props panelProps(std::variant<PanelStatus, QColor> dot = PanelStatus::working) {
    return {.brand = brand,
            .status = u"Ready"_s,
            .dot = dot,
            .isOn = true,
            .privacy = u"Stays on this computer"_s,
            .privacySymbol = u"hand.raised"_s,
            .refreshLoginItemOnAppear = true,
            .isSwitchEnabled = true};
}

// Records the calls a panel makes, in one log shared with the login entry's observer.
class RecordingNotifier final : public UpdateNotifier {
public:
    explicit RecordingNotifier(std::vector<std::string>& log) : log_(log) {}

    const std::optional<AvailableUpdate>& available() const override { return available_.value(); }
    platform::Subscription observeAvailable(AvailableSubscriber subscriber) override {
        return available_.subscribe(std::move(subscriber));
    }
    void checkIfDue() override { log_.push_back("check"); }
    void setAside() override {
        log_.push_back("set aside");
        available_.set(std::nullopt);
    }
    void offer(std::optional<AvailableUpdate> update) { available_.set(std::move(update)); }

private:
    std::vector<std::string>& log_;
    platform::Observable<std::optional<AvailableUpdate>> available_;
};

// The shared login item over an autostart entry in a temporary folder, so that a test can change
// the entry behind the item's back and see whether the panel read it again.
class TemporaryLoginItem {
public:
    TemporaryLoginItem() {
        entry_ = std::make_shared<platform::AutostartLoginItem>(platform::AutostartLoginItem::Settings{
            .configHome = folder_.path(),
            .configDirs = {},
            .executable = QCoreApplication::applicationFilePath(),
            .fileName = u"app.corbelthane.tidewright.desktop"_s,
            .name = u"Tidewright"_s,
            .searchPath = {},
        });
        LoginItem::install({entry_, &executor_, &queue_});
    }
    ~TemporaryLoginItem() { LoginItem::reset(); }

    // Changes the entry on disk without telling the item.
    void registerBehindItsBack() const { entry_->registerItem(); }

private:
    QTemporaryDir folder_;
    platform::ManualExecutor executor_;
    platform::ManualSerialQueue queue_;
    std::shared_ptr<platform::AutostartLoginItem> entry_;
};

TEST(PanelStatusTest, ColoursPerScheme) {
    const QColor systemOrange = systemColor(SystemColor::orange, ColorScheme::dark);
    struct Case {
        PanelStatus status;
        QColor light;
        QColor dark;
    };
    for (const Case& c : {
             Case{PanelStatus::working, QColor::fromRgbF(0.09F, 0.44F, 0.18F),
                  QColor::fromRgbF(0.19F, 0.82F, 0.35F)},
             Case{PanelStatus::off, BrandPalette::support(ColorScheme::light),
                  BrandPalette::support(ColorScheme::dark)},
             Case{PanelStatus::attention, QColor(184, 80, 0), systemOrange},
             Case{PanelStatus::recording, systemColor(SystemColor::red, ColorScheme::light),
                  systemColor(SystemColor::red, ColorScheme::dark)},
         }) {
        for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            QColor expected = scheme == ColorScheme::dark ? c.dark : c.light;
            expected.setAlphaF(1);
            EXPECT_EQ(panelStatusColor(c.status, scheme), expected) << static_cast<int>(c.status);

            QWidget host;
            paintAsWindow(host, scheme);
            auto* panel = new CorbelPanel(panelProps(c.status), {}, {}, &host, noArguments);
            EXPECT_EQ(panel->dotColor(), expected);
        }
    }
    EXPECT_EQ(allPanelStatuses.size(), 4u);
}

TEST(CorbelPanelTest, AStatusStateBrandsThePanelAndAPlainColourDoesNot) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        QWidget host;
        paintAsWindow(host, scheme);
        auto* branded = new CorbelPanel(panelProps(PanelStatus::working), {}, {}, &host, noArguments);
        EXPECT_FALSE(descendantsOf<BrandBackground>(*branded).front()->isHidden());
        EXPECT_EQ(branded->palette().color(QPalette::Highlight), brand.accent(scheme));
        EXPECT_EQ(descendantsOf<KitSwitch>(*branded).front()->props().tint, brand.accent(scheme));

        const QColor plainDot(10, 200, 120);
        auto* plain = new CorbelPanel(panelProps(plainDot), {}, {}, &host, noArguments);
        EXPECT_EQ(plain->dotColor(), plainDot);
        EXPECT_TRUE(descendantsOf<BrandBackground>(*plain).front()->isHidden());
        EXPECT_EQ(plain->palette().color(QPalette::Highlight), systemColor(SystemColor::accent, scheme));
        EXPECT_EQ(descendantsOf<KitSwitch>(*plain).front()->props().tint, brand.accent(scheme))
            << "the switch keeps the brand accent";
    }
}

TEST(CorbelPanelTest, HeaderShowsTheNameVerbatimAndCutsTheStatusToTwoLines) {
    const CorbelBrand odd(u"Q&A <b>x</b>"_s, QColor(36, 92, 242), CorbelBrand::Connection::offline,
                          std::nullopt, std::nullopt);
    CorbelPanel::Props props = panelProps();
    props.brand = odd;
    props.status =
        u"Another application took Control-Option-Left, Control-Option-Right and Control-Option-C; "
        u"choose which one keeps them in the preferences, or turn them off there"_s;
    auto* row = new PanelActionRow({.title = u"Centre"_s, .symbol = u"circle"_s, .brand = odd},
                                   new PanelShortcutKeys({.keys = {u"⌃"_s, u"C"_s}, .brand = odd}));
    CorbelPanel panel(props, {}, {row}, nullptr, noArguments);
    EXPECT_EQ(panel.sizeHint().width(), 368);
    const int height = panel.heightForWidth(368);
    testing::renderOffscreen(panel, QSize(368, height));
    EXPECT_EQ(panel.width(), 368);

    const std::vector<TextLabel*> texts = descendantsOf<TextLabel>(panel);
    EXPECT_EQ(texts[0]->props().text, u"Q&A <b>x</b>"_s);
    EXPECT_EQ(texts[0]->props().role, CorbelFont::heading);
    const TextLabel* status = texts[1];
    EXPECT_EQ(status->props().color, BrandPalette::support(ColorScheme::light));
    EXPECT_EQ(status->linesAt(status->width()).texts.size(), 2u);
    EXPECT_TRUE(status->linesAt(status->width()).texts.back().endsWith(u"…"_s));
    EXPECT_EQ(row->x(), 16);
    EXPECT_EQ(row->width(), 368 - 32) << "the content spans the padded width";
}

TEST(CorbelPanelTest, TheSwitchAsksForTheOtherValueUnlessDisabled) {
    struct Case {
        bool isOn;
        bool enabled;
        QString tooltip;
        std::vector<bool> asked;
    };
    for (const Case& c : {Case{true, true, u"Turn off"_s, {false}}, Case{false, true, u"Turn on"_s, {true}},
                          Case{true, false, u"Turn off"_s, {}}}) {
        CorbelPanel::Props props = panelProps();
        props.isOn = c.isOn;
        props.isSwitchEnabled = c.enabled;
        std::vector<bool> asked;
        CorbelPanel panel(props,
                          {.setOn =
                               [&](bool on) {
                                   asked.push_back(on);
                               }},
                          {}, nullptr, noArguments);
        testing::renderOffscreen(panel, QSize(368, panel.heightForWidth(368)));
        KitSwitch* toggle = descendantsOf<KitSwitch>(panel).front();
        EXPECT_TRUE(toggle->toolTip().contains(c.tooltip)) << toggle->toolTip().toStdString();
        EXPECT_EQ(toggle->props().title, brand.name());
        EXPECT_GE(toggle->width(), 44);
        EXPECT_GE(toggle->height(), 44);
        QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(asked, c.asked) << "a click anywhere in its rectangle";
    }
}

TEST(CorbelPanelTest, FooterButtonsAndShortcuts) {
    struct Case {
        bool preferences;
        QStringList titles;
    };
    for (const Case& c : {Case{true, {u"Preferences"_s, u"Getting Started"_s, u"Quit"_s}},
                          Case{false, {u"Getting Started"_s, u"Quit"_s}}}) {
        std::vector<std::string> ran;
        CorbelPanelActions actions{.showGuide = [&] { ran.push_back("guide"); },
                                   .quit =
                                       [&] {
                                           ran.push_back("quit");
                                       }};
        if (c.preferences) {
            actions.showPreferences = [&] {
                ran.push_back("preferences");
            };
        }
        CorbelPanel panel(panelProps(), actions, {}, nullptr, noArguments);
        testing::renderOffscreen(panel, QSize(368, panel.heightForWidth(368)));

        std::vector<PanelFooterButton*> buttons = descendantsOf<PanelFooterButton>(panel);
        std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        QStringList titles;
        for (PanelFooterButton* button : buttons) {
            titles.append(button->props().title);
            EXPECT_EQ(button->size(), QSize(32, 32));
        }
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(buttons.back()->geometry().right(), 368 - 16 - 1) << "at the trailing edge";

        for (PanelFooterButton* button : buttons) {
            QTest::mouseClick(button, Qt::LeftButton);
        }
        std::vector<std::string> expected{"guide", "quit"};
        if (c.preferences) {
            expected.insert(expected.begin(), "preferences");
        }
        EXPECT_EQ(ran, expected);

        ran.clear();
        std::vector<QKeySequence> keys;
        for (QShortcut* shortcut : panel.findChildren<QShortcut*>()) {
            keys.push_back(shortcut->key());
            Q_EMIT shortcut->activated();
        }
        std::sort(ran.begin(), ran.end());
        if (c.preferences) {
            EXPECT_EQ(keys.size(), 2u);
            EXPECT_EQ(ran, (std::vector<std::string>{"preferences", "quit"}));
        } else {
            EXPECT_EQ(keys, std::vector<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Q)})
                << "Ctrl+, belongs to nobody without Preferences";
        }
    }
}

TEST(CorbelPanelTest, TheCaptionShowsTheVersionOrAQuestionMark) {
    EXPECT_EQ(CorbelPanel::versionCaption(u"1.2"_s), u"Corbel Thane (1.2)"_s);
    EXPECT_EQ(CorbelPanel::versionCaption(QString()), u"Corbel Thane (?)"_s);
    CorbelPanel panel(panelProps(), {}, {}, nullptr, noArguments);
    const TextLabel* caption = descendantsOf<TextLabel>(panel).back();
    EXPECT_EQ(caption->props().text, CorbelPanel::versionCaption(QCoreApplication::applicationVersion()));
    EXPECT_EQ(caption->props().role, CorbelFont::versionLine);
}

TEST(CorbelPanelTest, EachAppearanceRereadsTheLoginItemThenAsksForACheck) {
    // The entry changes on disk between the first and second appearance: a panel that re-reads it
    // hears of the change before it asks for the check.
    struct Case {
        bool refreshLogin;
        std::vector<std::string> expected;
    };
    for (const Case& c :
         {Case{true, {"check", "login on", "check", "check"}}, Case{false, {"check", "check", "check"}}}) {
        TemporaryLoginItem login;
        std::vector<std::string> log;
        platform::Subscription token =
            LoginItem::shared().subscribe([&](bool on) { log.push_back(on ? "login on" : "login off"); });
        RecordingNotifier notifier(log);
        CorbelPanel::Props props = panelProps();
        props.refreshLoginItemOnAppear = c.refreshLogin;
        CorbelPanel panel(props, {}, {}, nullptr, noArguments);
        KitEnvironment::of(panel).setUpdateNotifier(&notifier);
        EXPECT_TRUE(log.empty()) << "nothing before the panel appears";

        const auto appear = [&] {
            panel.show();
            panel.hide();
        };
        appear();
        login.registerBehindItsBack();
        appear();
        appear();
        EXPECT_EQ(log, c.expected) << "refresh " << c.refreshLogin;
        EXPECT_EQ(LoginItem::shared().isEnabled(), c.refreshLogin);
    }
}

TEST(CorbelPanelTest, WithoutANotifierNothingIsAskedAndNoCardShown) {
    TemporaryLoginItem login;
    CorbelPanel panel(panelProps(), {}, {}, nullptr, noArguments);
    EXPECT_EQ(panel.activeNotifier(), nullptr);
    panel.show();
    panel.hide();
    EXPECT_TRUE(descendantsOf<UpdateCard>(panel).empty());
}

TEST(CorbelPanelTest, TheNotifiersOfferComesAndGoesAsACardAboveTheFooter) {
    TemporaryLoginItem login;
    std::vector<std::string> log;
    RecordingNotifier notifier(log);
    auto* content = new PanelCard({.spacing = 8}, {});
    CorbelPanel panel(panelProps(), {}, {content}, nullptr, noArguments);
    KitEnvironment::of(panel).setUpdateNotifier(&notifier);
    EXPECT_TRUE(descendantsOf<UpdateCard>(panel).empty()) << "nothing on offer";

    const AvailableUpdate offer{"2.0", QUrl(u"https://example.org/downloads/tidewright-latest.dmg"_s)};
    notifier.offer(offer);
    std::vector<UpdateCard*> cards = descendantsOf<UpdateCard>(panel);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0]->props().update, offer);
    testing::renderOffscreen(panel, QSize(368, panel.heightForWidth(368)));
    EXPECT_EQ(cards[0]->y(), content->geometry().bottom() + 1 + 16) << "right after the content";
    EXPECT_LT(cards[0]->geometry().bottom(), descendantsOf<PanelFooterButton>(panel).front()->y());

    const std::vector<KitButton*> buttons = descendantsOf<KitButton>(*cards[0]);
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(log, (std::vector<std::string>{"set aside"}));
    EXPECT_TRUE(descendantsOf<UpdateCard>(panel).empty());

    KitEnvironment::of(panel).setUpdateNotifier(nullptr);
    notifier.offer(offer);
    EXPECT_TRUE(descendantsOf<UpdateCard>(panel).empty()) << "a notifier no longer installed is not followed";
}

TEST(CorbelPanelTest, TheSnapshotArgumentOffersTheSampleOverTheApplicationsNotifier) {
    TemporaryLoginItem login;
    std::vector<std::string> log;
    RecordingNotifier notifier(log);
    notifier.offer(AvailableUpdate{"9.9", QUrl(u"https://example.org/"_s)});
    CorbelPanel panel(panelProps(), {}, {}, nullptr, {u"tidewright"_s, u"--snapshot-update"_s});
    KitEnvironment::of(panel).setUpdateNotifier(&notifier);
    std::vector<UpdateCard*> cards = descendantsOf<UpdateCard>(panel);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0]->props().update.version, "1.1");

    panel.show();
    panel.hide();
    EXPECT_TRUE(log.empty()) << "the application's notifier is not asked";
    QTest::mouseClick(descendantsOf<KitButton>(*cards[0])[1], Qt::LeftButton);
    EXPECT_TRUE(descendantsOf<UpdateCard>(panel).empty());
    EXPECT_TRUE(log.empty()) << "the sample set its own offer aside";
}

TEST(CorbelPanelTest, PreferencesFocusIsReportedAndLostWhenThePanelCloses) {
    TemporaryLoginItem login;
    std::vector<bool> focus;
    CorbelPanel panel(panelProps(),
                      {.showPreferences = [] {},
                       .preferencesFocusChanged =
                           [&](bool f) {
                               focus.push_back(f);
                           }},
                      {}, nullptr, noArguments);
    panel.show();
    QApplication::setActiveWindow(&panel);
    std::vector<PanelFooterButton*> buttons = descendantsOf<PanelFooterButton>(panel);
    PanelFooterButton* preferences = nullptr;
    PanelFooterButton* guide = nullptr;
    for (PanelFooterButton* button : buttons) {
        if (button->props().symbol == u"gearshape"_s) {
            preferences = button;
        } else if (button->props().symbol == u"questionmark.circle"_s) {
            guide = button;
        }
    }
    ASSERT_NE(preferences, nullptr);
    preferences->setFocus(Qt::TabFocusReason);
    guide->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(focus, (std::vector<bool>{true, false}));

    focus.clear();
    panel.hide();
    EXPECT_EQ(focus, std::vector<bool>{false}) << "closing tells it even without focus";
}

class CorbelPanelLook : public ::testing::TestWithParam<std::tuple<ColorScheme, bool>> {};

TEST_P(CorbelPanelLook, ThePanelWithAConflictRow) {
    const auto [scheme, withUpdate] = GetParam();
    TemporaryLoginItem login;
    std::vector<std::string> log;
    RecordingNotifier notifier(log);
    if (withUpdate) {
        notifier.offer(AvailableUpdate{"1.1", QUrl(u"https://example.org/downloads/"_s)});
    }
    const auto row = [](QString title, QString symbol, QStringList keys, bool conflict) {
        return new PanelActionRow(
            {.title = std::move(title), .symbol = std::move(symbol), .brand = brand},
            new PanelShortcutKeys({.keys = std::move(keys), .brand = brand, .hasConflict = conflict}));
    };
    auto* rows = new PanelCard(
        {.spacing = 0},
        {row(u"Left half"_s, u"rectangle.lefthalf.inset.filled"_s, {u"⌃"_s, u"⌥"_s, u"←"_s}, false),
         row(u"Centre"_s, u"rectangle.center.inset.filled"_s, {u"⌃"_s, u"⌥"_s, u"C"_s}, true)});
    QWidget window;
    paintAsWindow(window, scheme);
    auto* panel = new CorbelPanel(panelProps(PanelStatus::attention),
                                  {.showPreferences =
                                       [] {
                                       }},
                                  {rows}, &window, noArguments);
    KitEnvironment::of(*panel).setUpdateNotifier(&notifier);
    const QSize size(368, panel->heightForWidth(368));
    const QString name =
        u"panel-"_s + QLatin1String(schemeName(scheme)) + (withUpdate ? u"-update"_s : QString());
    EXPECT_TRUE(kitGoldens().matches(name, testing::renderRoundedOffscreen(*panel, size, 16)));
}

INSTANTIATE_TEST_SUITE_P(SchemesAndOffers, CorbelPanelLook,
                         ::testing::Combine(::testing::Values(ColorScheme::light, ColorScheme::dark),
                                            ::testing::Bool()));

} // namespace
} // namespace corbel
