// The golden-image harness itself: rendering, tolerance, failure output and regeneration.

#include "corbel/ui/testing/GoldenImages.hpp"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace corbel::testing {
namespace {

QImage filled(QColor color, QSize size = QSize(20, 10)) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

class GoldenImagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("golden"))));
        ASSERT_TRUE(filled(QColor(10, 100, 200)).save(folder.filePath(QStringLiteral("golden/sample.png"))));
        previous = qgetenv("TIDEWRIGHT_UPDATE_GOLDENS");
        qunsetenv("TIDEWRIGHT_UPDATE_GOLDENS");
    }
    void TearDown() override {
        if (previous.isNull()) {
            qunsetenv("TIDEWRIGHT_UPDATE_GOLDENS");
        } else {
            qputenv("TIDEWRIGHT_UPDATE_GOLDENS", previous);
        }
    }

    QString failure(const QString& file) const { return folder.filePath(QStringLiteral("failures/") + file); }

    QTemporaryDir folder;
    QByteArray previous;
    GoldenImages goldens{folder.filePath(QStringLiteral("golden")),
                         folder.filePath(QStringLiteral("failures")), Tolerance{3, 0.01}};
};

TEST_F(GoldenImagesTest, MatchesWithinTheTolerance) {
    EXPECT_TRUE(goldens.matches(QStringLiteral("sample"), filled(QColor(10, 100, 200))));
    EXPECT_TRUE(goldens.matches(QStringLiteral("sample"), filled(QColor(13, 97, 203))));
    // Two of 200 pixels (1 %) far off still match; three do not.
    QImage two = filled(QColor(10, 100, 200));
    two.setPixel(0, 0, qRgb(255, 0, 0));
    two.setPixel(1, 0, qRgb(255, 0, 0));
    EXPECT_TRUE(goldens.matches(QStringLiteral("sample"), two));
    EXPECT_FALSE(QFileInfo::exists(failure(QStringLiteral("sample.diff.png"))));
}

TEST_F(GoldenImagesTest, AFailureWritesTheRenderAndADiff) {
    QImage three = filled(QColor(10, 100, 200));
    for (int x = 0; x < 3; ++x) {
        three.setPixel(x, 5, qRgb(10, 100, 204));
    }
    const ::testing::AssertionResult result = goldens.matches(QStringLiteral("sample"), three);
    EXPECT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("3 pixels differ"), std::string::npos) << result.message();

    const QImage diff(failure(QStringLiteral("sample.diff.png")));
    ASSERT_FALSE(diff.isNull());
    EXPECT_EQ(diff.pixel(2, 5), qRgb(255, 0, 0));
    EXPECT_NE(diff.pixel(3, 5), qRgb(255, 0, 0));
    EXPECT_EQ(QImage(failure(QStringLiteral("sample.actual.png"))).convertToFormat(QImage::Format_ARGB32),
              three);
}

TEST_F(GoldenImagesTest, SizeAndPresenceMustMatch) {
    EXPECT_FALSE(goldens.matches(QStringLiteral("sample"), filled(QColor(10, 100, 200), QSize(20, 11))));
    const ::testing::AssertionResult missing = goldens.matches(QStringLiteral("absent"), filled(Qt::red));
    EXPECT_FALSE(missing);
    EXPECT_NE(std::string(missing.message()).find("TIDEWRIGHT_UPDATE_GOLDENS=1"), std::string::npos);
}

TEST_F(GoldenImagesTest, RegeneratesOnRequest) {
    qputenv("TIDEWRIGHT_UPDATE_GOLDENS", "1");
    EXPECT_TRUE(goldens.matches(QStringLiteral("sample"), filled(Qt::green)));
    EXPECT_TRUE(goldens.matches(QStringLiteral("fresh"), filled(Qt::blue)));
    qunsetenv("TIDEWRIGHT_UPDATE_GOLDENS");
    EXPECT_TRUE(goldens.matches(QStringLiteral("sample"), filled(Qt::green)));
    EXPECT_TRUE(goldens.matches(QStringLiteral("fresh"), filled(Qt::blue)));
    EXPECT_FALSE(goldens.matches(QStringLiteral("sample"), filled(QColor(10, 100, 200))));
}

TEST(RenderOffscreenTest, LaysOutChildrenAtDoubleResolutionWithoutEvents) {
    QWidget parent;
    auto* layout = new QVBoxLayout(&parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QColor color : {QColor(Qt::red), QColor(Qt::blue)}) {
        auto* child = new QWidget;
        child->setFixedHeight(10);
        child->setAutoFillBackground(true);
        QPalette palette = child->palette();
        palette.setColor(QPalette::Window, color);
        child->setPalette(palette);
        layout->addWidget(child);
    }
    const QImage image = renderOffscreen(parent, QSize(30, 20));
    EXPECT_EQ(image.size(), QSize(60, 40));
    EXPECT_EQ(image.devicePixelRatio(), 2);
    EXPECT_EQ(QColor(image.pixel(59, 19)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(0, 20)), QColor(Qt::blue));
}

} // namespace
} // namespace corbel::testing
