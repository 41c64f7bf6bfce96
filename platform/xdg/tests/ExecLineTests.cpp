#include "platform/xdg/ExecLine.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace platform::xdg {
namespace {

QStringList words(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items) {
        list.append(QString::fromUtf8(item));
    }
    return list;
}

TEST(ExecLineTests, SplitsByTheQuotingRules) {
    struct Case {
        const char* exec;
        std::optional<QStringList> arguments;
    };
    const std::vector<Case> cases = {
        {"editor %U", words({"editor", "%U"})},
        {"  spaced\t  out  ", words({"spaced", "out"})},
        {R"("/opt/My App/run" --flag)", words({"/opt/My App/run", "--flag"})},
        {R"(sh -c "echo \"hi\" \$HOME \`x\` \\ \n")", words({"sh", "-c", R"(echo "hi" $HOME `x` \ \n)"})},
        {R"(pre"fix"post)", words({"prefixpost"})},
        {R"(a "" b)", words({"a", "", "b"})},
        {R"(open "quote)", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitExec(QString::fromUtf8(c.exec)), c.arguments) << c.exec;
    }
}

TEST(ExecLineTests, ExpandsFieldCodesForALaunchWithoutFiles) {
    const FieldValues values{QStringLiteral("editor-icon"), QStringLiteral("Text Editor"),
                             QStringLiteral("/usr/share/applications/editor.desktop")};
    struct Case {
        QStringList arguments;
        QStringList expanded;
    };
    const std::vector<Case> cases = {
        {words({"editor", "%U", "%f", "--new"}), words({"editor", "--new"})},
        {words({"editor", "%i"}), words({"editor", "--icon", "editor-icon"})},
        {words({"editor", "--name=%c", "%k"}),
         words({"editor", "--name=Text Editor", "/usr/share/applications/editor.desktop"})},
        {words({"printf", "100%%", "%d%D%n%N%v%m"}), words({"printf", "100%"})},
        {words({"editor", "--file=%f"}), words({"editor", "--file="})},
        {words({"trailing%"}), words({"trailing%"})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(expandFieldCodes(c.arguments, values), c.expanded) << c.arguments.join(u' ').toStdString();
    }
    EXPECT_EQ(expandFieldCodes(words({"editor", "%i"}), FieldValues{}), words({"editor"}));
}

} // namespace
} // namespace platform::xdg
