#include "corbel/ui/CorbelSnapshot.hpp"
#include "corbel/ui/SnapshotWindow.hpp"

#include <QApplication>
#include <QShortcut>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using corbel::sharpestScreenOrigin;
using corbel::SnapshotScreen;

TEST(SnapshotPlacementTest, CentresOnTheFirstOfTheSharpestScreens) {
    const QRectF left(0, 0, 1000, 800);
    const QRectF right(1000, 0, 2000, 1000);
    struct Case {
        std::vector<SnapshotScreen> screens;
        std::optional<QPointF> origin;
    };
    const Case cases[] = {
        {{{2, left}, {2, right}}, QPointF(400, 300)},
        {{{1, left}, {2, right}}, QPointF(1900, 400)},
        {{{2, left}, {1, right}}, QPointF(400, 300)},
        {{}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sharpestScreenOrigin(c.screens, QSizeF(200, 200)), c.origin);
    }
}

TEST(SnapshotWindowTest, TakesTheImagesSizeAndDropsShortcutsKeysAndClicks) {
    QImage image(QSize(600, 400) * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);

    int quits = 0;
    QWidget ordinary;
    QShortcut quit(QKeySequence(Qt::CTRL | Qt::Key_Q), &ordinary);
    quit.setContext(Qt::ApplicationShortcut);
    QObject::connect(&quit, &QShortcut::activated, [&] { ++quits; });

    // An ordinary window lets the shortcut through: the check below is not vacuous.
    ordinary.show();
    QApplication::setActiveWindow(&ordinary);
    QTest::keyClick(&ordinary, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(quits, 1);

    corbel::SnapshotWindow window;
    window.setContent(image);
    window.show();
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(window.size(), QSize(600, 400));
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);

    for (const QEvent::Type type :
         {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick}) {
        QMouseEvent click(type, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        click.ignore();
        QCoreApplication::sendEvent(&window, &click);
        EXPECT_TRUE(click.isAccepted()) << "dropped, not passed on to the parent";
    }
}

} // namespace

namespace {

// A view that asks for 300 × 200 and paints itself opaque red.
class FixedView final : public QWidget {
public:
    FixedView() {
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, Qt::red);
        setPalette(colours);
    }
    QSize sizeHint() const override { return {300, 200}; }
};

TEST(CorbelSnapshotShowTest, AMenuSurfaceShowsAtTwiceItsSizeWithRoundedCorners) {
    FixedView view;
    const QImage image = corbel::CorbelSnapshot::render(view, corbel::CorbelSnapshot::Surface::menu, 1);
    ASSERT_EQ(image.size(), QSize(600, 400));
    // 16-point corners drawn before scaling are 32 after: the corner pixel is clear, a point well
    // inside the arc is content, and so is the middle of each edge.
    EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(image.pixel(598, 398)), 0);
    EXPECT_EQ(image.pixel(20, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(300, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(300, 200), qRgb(255, 0, 0));

    const corbel::CorbelBrand brand(QStringLiteral("Tidewright"), QColor(36, 92, 242),
                                    corbel::CorbelBrand::Connection::online, std::nullopt, std::nullopt);
    corbel::SnapshotWindow& first =
        corbel::CorbelSnapshot::show(view, brand, corbel::CorbelSnapshot::Surface::menu);
    EXPECT_EQ(first.size(), QSize(600, 400));
    EXPECT_EQ(first.windowTitle(), QStringLiteral("Tidewright Snapshot"));
    EXPECT_EQ(corbel::CorbelSnapshot::current(), &first);
    corbel::SnapshotWindow& second =
        corbel::CorbelSnapshot::show(view, brand, corbel::CorbelSnapshot::Surface::welcome);
    EXPECT_EQ(corbel::CorbelSnapshot::current(), &second);
    corbel::CorbelSnapshot::reset();
    EXPECT_EQ(corbel::CorbelSnapshot::current(), nullptr);
}

} // namespace
