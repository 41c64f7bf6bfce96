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
