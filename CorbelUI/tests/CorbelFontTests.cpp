// The text roles: each role's face and size, the text-size factor, and that the pinned faces load.

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/testing/GoldenImages.hpp"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace corbel {
namespace {

struct RoleCase {
    CorbelFont role;
    int pixelSize;
    QFont::Weight weight;
};

const std::vector<RoleCase> roleCases{
    {CorbelFont::title, 26, QFont::Bold},
    {CorbelFont::text, 17, QFont::Normal},
    {CorbelFont::textSemibold, 17, QFont::DemiBold},
    {CorbelFont::support, 15, QFont::Normal},
    {CorbelFont::supportSemibold, 15, QFont::DemiBold},
    {CorbelFont::heading, 13, QFont::Bold},
    {CorbelFont::welcomeTitle, 17, QFont::Bold},
    {CorbelFont::mark, 17, QFont::Normal},
    {CorbelFont::detail, 12, QFont::Normal},
    {CorbelFont::detailSemibold, 12, QFont::DemiBold},
    {CorbelFont::keyCap, 12, QFont::DemiBold},
    {CorbelFont::versionLine, 10, QFont::Normal},
    {CorbelFont::footerSymbol, 15, QFont::Normal},
    {CorbelFont::readout, 22, QFont::DemiBold},
};

TEST(CorbelFontTest, EachRoleResolvesToThePinnedFaceAtItsSize) {
    ASSERT_EQ(roleCases.size(), allCorbelFonts.size());
    for (std::size_t i = 0; i < roleCases.size(); ++i) {
        const RoleCase& c = roleCases[i];
        ASSERT_EQ(allCorbelFonts[i], c.role) << "roles out of order at " << i;
        const QFont f = roleFont(c.role);
        EXPECT_EQ(f.pixelSize(), c.pixelSize) << i;
        EXPECT_EQ(f.weight(), c.weight) << i;
        EXPECT_EQ(f.hintingPreference(), QFont::PreferNoHinting) << i;
        EXPECT_TRUE(f.styleStrategy() & QFont::NoSubpixelAntialias) << i;

        // The face actually drawn: the family and weight the font database matched.
        const QFontInfo drawn(f);
        EXPECT_EQ(drawn.family(), QStringLiteral("Inter")) << i;
        EXPECT_EQ(drawn.weight(), c.weight) << i;
        EXPECT_EQ(drawn.pixelSize(), c.pixelSize) << i;
    }
}

TEST(CorbelFontTest, TextSizeFactorScalesEveryRoleToWholePixels) {
    const struct {
        double factor;
        CorbelFont role;
        int pixelSize;
    } cases[] = {
        {1.5, CorbelFont::title, 39},    {1.5, CorbelFont::detail, 18}, {1.25, CorbelFont::versionLine, 13},
        {1.25, CorbelFont::support, 19}, {0.01, CorbelFont::detail, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(roleFont(c.role, c.factor).pixelSize(), c.pixelSize) << c.factor;
        EXPECT_EQ(roleFont(c.role, c.factor).weight(), roleFont(c.role).weight());
    }
}

TEST(CorbelFontTest, SettingARoleReachesTheWidgetsDescendants) {
    QWidget parent;
    auto* layout = new QVBoxLayout(&parent);
    auto* child = new QLabel(QStringLiteral("Label"));
    layout->addWidget(child);
    setCorbelFont(parent, CorbelFont::heading);
    EXPECT_EQ(child->font().pixelSize(), 13);
    EXPECT_EQ(child->font().weight(), QFont::Bold);
}

// Every role drawn once, so that a change of face, size or rendering shows.
class RoleSampler : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        qreal y = 0;
        for (CorbelFont role : allCorbelFonts) {
            painter.setFont(roleFont(role));
            const QFontMetricsF metrics(painter.font());
            y += metrics.ascent();
            painter.drawText(QPointF(4, y), QStringLiteral("Tidewright 0123 \u2303\u2325\u2190\u2192 Größe"));
            y += metrics.descent() + 2;
        }
    }
};

TEST(CorbelFontTest, RolesMatchTheirGolden) {
    RoleSampler sampler;
    const testing::GoldenImages goldens{QStringLiteral(CORBEL_GOLDEN_FOLDER),
                                        QStringLiteral(CORBEL_GOLDEN_FAILURE_FOLDER)};
    EXPECT_TRUE(
        goldens.matches(QStringLiteral("text-roles"), testing::renderOffscreen(sampler, QSize(420, 300))));
}

} // namespace
} // namespace corbel
