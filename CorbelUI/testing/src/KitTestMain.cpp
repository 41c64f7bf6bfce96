// The main of every kit test executable: the kit's test application around GoogleTest.

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/testing/KitTestApplication.hpp"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Renders must not depend on the desktop the tests happen to run on.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QLocale::setDefault(QLocale::c());
    if (!corbel::loadKitFonts()) {
        return EXIT_FAILURE;
    }
    corbel::testing::applyKitAppearance(corbel::ColorScheme::light);
    return RUN_ALL_TESTS();
}
