#include "corbel/ui/CorbelSnapshot.hpp"

#include <gtest/gtest.h>

namespace {

using corbel::CorbelSnapshot;

QStringList line(std::initializer_list<const char*> arguments) {
    QStringList list{QStringLiteral("/usr/bin/tidewright")};
    for (const char* argument : arguments) {
        list.append(QString::fromUtf8(argument));
    }
    return list;
}

TEST(CorbelSnapshotArgumentsTest, RequestIsAnExactCaseSensitivePrefix) {
    struct Case {
        QStringList arguments;
        bool requested;
    };
    const Case cases[] = {
        {line({}), false},
        {line({"--snapshot-"}), true},
        {line({"--snapshot-state", "welcome"}), true},
        {line({"-v", "--snapshot-menu"}), true},
        {line({"-snapshot-state"}), false},
        {line({"--Snapshot-state"}), false},
        {line({"x--snapshot-state"}), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CorbelSnapshot::isRequested(c.arguments), c.requested)
            << c.arguments.join(u' ').toStdString();
    }
}

TEST(CorbelSnapshotArgumentsTest, ValueIsTheArgumentAfterTheFirstMatch) {
    const QString option = QStringLiteral("--snapshot-state");
    EXPECT_EQ(CorbelSnapshot::value(line({"--snapshot-state", "--snapshot-state", "many"}), option), option);
    EXPECT_EQ(CorbelSnapshot::value(line({"--snapshot-state", "menu"}), option), QStringLiteral("menu"));
    EXPECT_EQ(CorbelSnapshot::value(line({"--snapshot-state"}), option), std::nullopt);
    EXPECT_EQ(CorbelSnapshot::value(line({"--snapshot-statex", "menu"}), option), std::nullopt);
    EXPECT_TRUE(CorbelSnapshot::hasArgument(line({"--snapshot-menu"}), QStringLiteral("--snapshot-menu")));
    EXPECT_FALSE(CorbelSnapshot::hasArgument(line({"--snapshot-menu2"}), QStringLiteral("--snapshot-menu")));
}

TEST(CorbelSnapshotArgumentsTest, ProcessFormsReadTheRunningApplicationsArguments) {
    // The kit's test executable is started without snapshot arguments.
    EXPECT_FALSE(CorbelSnapshot::isRequested());
    EXPECT_EQ(CorbelSnapshot::value(QStringLiteral("--snapshot-state")), std::nullopt);
}

} // namespace
