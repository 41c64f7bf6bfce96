// The update offer: the sample notifier's contract and the card that shows an offer.

#include "corbel/ui/UpdateCard.hpp"

#include "KitViewTesting.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/SampleUpdateNotifier.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

const CorbelBrand brand(u"Tidewright"_s, QColor(36, 92, 242), CorbelBrand::Connection::offline,
                        QColor(107, 152, 255), std::nullopt);

struct Heard {
    std::vector<std::optional<AvailableUpdate>> offers;
};

TEST(SampleUpdateNotifierTest, OffersOneOneOnTheDownloadPageUntilSetAside) {
    SampleUpdateNotifier sample;
    ASSERT_TRUE(sample.available().has_value());
    EXPECT_EQ(sample.available()->version, "1.1");
    const QUrl page = sample.available()->download;
    EXPECT_TRUE(page.isValid());
    EXPECT_EQ(page.scheme(), u"https"_s);
    EXPECT_TRUE(page.path().endsWith(u"/downloads/"_s)) << page.toString().toStdString();

    Heard heard;
    platform::Subscription token = sample.observeAvailable(
        [&](const std::optional<AvailableUpdate>& offer) { heard.offers.push_back(offer); });
    sample.checkIfDue();
    EXPECT_TRUE(heard.offers.empty()) << "a check does nothing";
    EXPECT_TRUE(sample.available().has_value());

    sample.setAside();
    sample.setAside();
    sample.checkIfDue();
    ASSERT_EQ(heard.offers.size(), 1u) << "the second set-aside changes nothing";
    EXPECT_FALSE(heard.offers[0].has_value());
    EXPECT_FALSE(sample.available().has_value());
}

TEST(SampleUpdateNotifierTest, NotifiesOnlyWhenTheOfferDiffers) {
    SampleUpdateNotifier sample;
    const AvailableUpdate current = *sample.available();
    Heard heard;
    platform::Subscription token = sample.observeAvailable(
        [&](const std::optional<AvailableUpdate>& offer) { heard.offers.push_back(offer); });

    sample.setAvailable(current);
    EXPECT_TRUE(heard.offers.empty()) << "an equal offer is stored silently";
    const AvailableUpdate elsewhere{"1.1", QUrl(u"https://example.org/other/"_s)};
    sample.setAvailable(elsewhere);
    sample.setAvailable(AvailableUpdate{"1.2", elsewhere.download});
    sample.setAvailable(std::nullopt);
    sample.setAvailable(std::nullopt);
    ASSERT_EQ(heard.offers.size(), 3u);
    EXPECT_EQ(heard.offers[0], elsewhere) << "same version, another address";
    EXPECT_EQ(heard.offers[1]->version, "1.2");
    EXPECT_FALSE(heard.offers[2].has_value());
}

TEST(UpdateCardTest, ShowsTheVersionVerbatimAndTheInstructionsInFull) {
    const AvailableUpdate update{"1.1 <b>&</b>", QUrl(u"https://example.org/downloads/"_s)};
    UpdateCard card({brand, update});
    const std::vector<TextLabel*> texts = descendantsOf<TextLabel>(card);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->props().text, u"Version 1.1 <b>&</b> is here"_s);
    EXPECT_EQ(texts[0]->props().role, CorbelFont::detailSemibold);
    EXPECT_EQ(texts[1]->props().text, kitLabel(KitLabel::updateInstructions, QLocale::c()));
    EXPECT_EQ(texts[1]->props().lineLimit, 0) << "never cut short";

    // The instructions wrap: a narrow card is taller by whole lines, and every word stays.
    const int wide = card.heightForWidth(600);
    const int narrow = card.heightForWidth(200);
    EXPECT_GE(narrow - wide, static_cast<int>(QFontMetricsF(roleFont(CorbelFont::detail)).lineSpacing()));
    testing::renderOffscreen(card, QSize(200, narrow));
    QString shown;
    for (const QString& line : texts[1]->linesAt(texts[1]->width()).texts) {
        shown += (shown.isEmpty() ? QString() : u" "_s) + line;
    }
    EXPECT_EQ(shown, texts[1]->props().text);

    const std::vector<KitButton*> buttons = descendantsOf<KitButton>(card);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0]->props().title, u"Download"_s);
    EXPECT_EQ(buttons[1]->props().title, u"Not now"_s);
    for (KitButton* button : buttons) {
        EXPECT_EQ(button->props().style, ButtonStyle::bordered);
        EXPECT_EQ(button->props().size, ControlSize::small);
    }
}

TEST(UpdateCardTest, TheSymbolTakesTheSchemesAccent) {
    const CorbelBrand noAccents(u"Plain"_s, QColor(200, 30, 30), CorbelBrand::Connection::online,
                                std::nullopt, std::nullopt);
    struct Case {
        const CorbelBrand* brand;
        ColorScheme scheme;
        QColor expected;
    };
    for (const Case& c : {Case{&brand, ColorScheme::dark, QColor(107, 152, 255)},
                          Case{&brand, ColorScheme::light, QColor(36, 92, 242)},
                          Case{&noAccents, ColorScheme::dark, QColor(200, 30, 30)}}) {
        QWidget host;
        paintAsWindow(host, c.scheme);
        auto* card = new UpdateCard({*c.brand, {"1.1", QUrl(u"https://example.org/"_s)}}, &host);
        const SymbolView* symbol = descendantsOf<SymbolView>(*card).front();
        EXPECT_EQ(symbol->props().name, u"arrow.down.circle"_s);
        EXPECT_EQ(symbol->props().color, c.expected);
        EXPECT_EQ(descendantsOf<TextLabel>(*card)[1]->props().color, BrandPalette::support(c.scheme));
    }
}

TEST(UpdateCardTest, DownloadOpensTheAddressAndNotNowSetsAside) {
    const QUrl address(u"https://example.org/downloads/tidewright-latest.dmg"_s);
    UpdateCard card({brand, {"1.1", address}});
    std::vector<QUrl> opened;
    int setAside = 0;
    card.setOpenUrl([&](const QUrl& url) { opened.push_back(url); });
    card.setSetAside([&] { ++setAside; });
    testing::renderOffscreen(card, QSize(336, card.heightForWidth(336)));
    const std::vector<KitButton*> buttons = descendantsOf<KitButton>(card);

    QTest::mouseClick(buttons[0], Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], address);
    EXPECT_EQ(setAside, 0) << "downloading leaves the offer in place";

    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(setAside, 1);
    EXPECT_EQ(opened.size(), 1u);
}

} // namespace
} // namespace corbel
