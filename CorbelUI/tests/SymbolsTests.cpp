// The symbol table: every name the views draw is in it, and the sheet of all symbols is pinned.

#include "corbel/ui/Symbols.hpp"

#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/testing/GoldenImages.hpp"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace corbel {
namespace {

// Every symbol name that the kit's and the application's views use.
constexpr std::string_view namesTheViewsUse[] = {
    "exclamationmark.triangle",           // warning notices, preference status rows, welcome steps
    "exclamationmark.triangle.fill",      // notice cards, the tray icon in attention
    "clock",                              // waiting notices and status rows
    "info.circle",                        // info notices and status rows
    "checkmark.circle",                   // good status rows
    "checkmark.circle.fill",              // granted permissions, finished steps
    "circle",                             // welcome steps to do
    "exclamationmark.circle",             // shortcut conflicts
    "pencil",                             // a shortcut being edited
    "hand.raised",                        // the privacy line online
    "network.slash",                      // the privacy line offline
    "arrow.up.forward.app",               // open at login
    "gearshape",                          // the panel's preferences button
    "questionmark.circle",                // the panel's guide button
    "power",                              // the panel's quit button
    "arrow.down.circle",                  // the update card
    "rectangle.split.2x1.fill",           // the tray icon working
    "rectangle.split.2x1",                // the tray icon off
    "rectangle.lefthalf.inset.filled",    // left half
    "rectangle.righthalf.inset.filled",   // right half
    "arrow.up.left.and.arrow.down.right", // maximize
    "rectangle.center.inset.filled",      // nearly maximize
    "arrow.up.and.down",                  // maximum height
    "align.horizontal.center",            // centre
    "rectangle",                          // the welcome's privacy symbol
    "1.circle",                           // numbered welcome permissions
    "2.circle",
    "10.circle",
};

TEST(SymbolsTest, EveryNameTheViewsUseDrawsSomething) {
    for (std::string_view name : namesTheViewsUse) {
        const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        EXPECT_TRUE(hasSymbol(text)) << name;
        for (SymbolWeight weight : {SymbolWeight::regular, SymbolWeight::semibold, SymbolWeight::bold}) {
            const QRectF box = symbolPath(text, weight).boundingRect();
            EXPECT_FALSE(box.isEmpty()) << name;
            // On the 1-em grid, with nothing outside it.
            EXPECT_TRUE(QRectF(0, 0, 1, 1).contains(box)) << name << " spans " << box.x() << "," << box.y()
                                                          << " " << box.width() << "x" << box.height();
        }
    }
    EXPECT_EQ(symbolNames().size(), 25u);
}

TEST(SymbolsTest, NamesWithoutASymbolDrawNothing) {
    for (const char* name : {"-1.circle", ".circle", "x.circle", "gear", "", "circle.fill", "1.5.circle"}) {
        EXPECT_FALSE(hasSymbol(QString::fromUtf8(name))) << name;
        EXPECT_TRUE(symbolPath(QString::fromUtf8(name)).isEmpty()) << name;
    }
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawSymbol(painter, QRectF(0, 0, 20, 20), u"-3.circle", Qt::black);
    painter.end();
    EXPECT_EQ(image.pixel(10, 10), 0u);
}

TEST(SymbolsTest, AnUnknownNameIsLoggedOnce) {
    static int warnings = 0;
    warnings = 0;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtWarningMsg && message.contains(QStringLiteral("sparkles.unknown"))) {
                ++warnings;
            }
        });
    symbolPath(u"sparkles.unknown");
    symbolPath(u"sparkles.unknown", SymbolWeight::bold);
    symbolPath(u"sparkles.unknown");
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings, 1);
}

TEST(SymbolsTest, HeavierWeightsInkMore) {
    const auto area = [](const QPainterPath& path) {
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(200, 200);
        painter.fillPath(path, Qt::black);
        painter.end();
        qsizetype inked = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 200; ++x) {
                inked += qAlpha(image.pixel(x, y)) > 127;
            }
        }
        return inked;
    };
    const qsizetype regular = area(symbolPath(u"clock", SymbolWeight::regular));
    const qsizetype bold = area(symbolPath(u"clock", SymbolWeight::bold));
    EXPECT_GT(bold, regular * 1.2);
}

TEST(SymbolsTest, Sheet) {
    const testing::GoldenImages goldens(QStringLiteral(CORBEL_GOLDEN_FOLDER),
                                        QStringLiteral(CORBEL_GOLDEN_FAILURE_FOLDER));
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        // One row per weight at 20 px, then the regular weight at 40 px, on the window background.
        std::vector<QString> names;
        for (std::string_view name : symbolNames()) {
            names.push_back(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        }
        names.push_back(QStringLiteral("7.circle"));
        names.push_back(QStringLiteral("12.circle"));
        const int columns = static_cast<int>(names.size());
        QImage image(QSize(columns * 48 + 8, 3 * 28 + 48 + 8) * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(systemColor(SystemColor::windowBackground, scheme));
        QPainter painter(&image);
        const QColor label = systemColor(SystemColor::label, scheme);
        int row = 0;
        for (SymbolWeight weight : {SymbolWeight::regular, SymbolWeight::semibold, SymbolWeight::bold}) {
            for (int i = 0; i < columns; ++i) {
                drawSymbol(painter, QRectF(8 + i * 48 + 14, 8 + row * 28, 20, 20), names[i], label, weight);
            }
            ++row;
        }
        for (int i = 0; i < columns; ++i) {
            drawSymbol(painter, QRectF(8 + i * 48 + 4, 8 + row * 28, 40, 40), names[i], label);
        }
        painter.end();
        EXPECT_TRUE(goldens.matches(scheme == ColorScheme::light ? QStringLiteral("symbols-light")
                                                                 : QStringLiteral("symbols-dark"),
                                    image));
    }
}

} // namespace
} // namespace corbel
