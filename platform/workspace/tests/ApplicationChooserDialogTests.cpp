// The chooser dialog under the offscreen platform, answered as a user would and not at all.

#include "platform/workspace/ApplicationChooserDialog.hpp"

#include <QDialog>
#include <QDialogButtonBox>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace platform {
namespace {

class ApplicationChooserDialogTest : public ::testing::Test {
protected:
    static InstalledApplication installed(const char* id, const char* name) {
        return InstalledApplication{
            QString::fromUtf8(id), tidewright::BundleID(id), QString::fromUtf8(name), {}};
    }

    std::unique_ptr<ApplicationChooserDialog> makeChooser() {
        return std::make_unique<ApplicationChooserDialog>(
            std::vector{installed("org.example.Alpha", "Alpha"), installed("org.example.Beta", "Beta"),
                        installed("org.example.Gamma", "Gamma")},
            [](const InstalledApplication&) { return QIcon(); });
    }
    void begin(ApplicationChooser& chooser) {
        chooser.begin([this](ApplicationChooser::Answer answer) { answers.push_back(std::move(answer)); });
    }
    static QListWidget* list(ApplicationChooserDialog& chooser) {
        return chooser.dialog()->findChild<QListWidget*>();
    }
    static QPushButton* button(ApplicationChooserDialog& chooser, QDialogButtonBox::StandardButton which) {
        return chooser.dialog()->findChild<QDialogButtonBox*>()->button(which);
    }

    std::vector<ApplicationChooser::Answer> answers;
};

TEST_F(ApplicationChooserDialogTest, OkAnswersTheSelectionInListOrderOnce) {
    auto chooser = makeChooser();
    begin(*chooser);
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(chooser->dialog()->isVisible());
    ASSERT_EQ(list(*chooser)->count(), 3);
    EXPECT_EQ(list(*chooser)->item(1)->text(), QStringLiteral("Beta"));
    list(*chooser)->item(2)->setSelected(true);
    list(*chooser)->item(0)->setSelected(true);
    button(*chooser, QDialogButtonBox::Ok)->click();

    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].response, ApplicationChooser::Response::ok);
    ASSERT_EQ(answers[0].chosen.size(), 2u);
    EXPECT_EQ(answers[0].chosen[0].name, QStringLiteral("Alpha"));
    EXPECT_EQ(answers[0].chosen[1].name, QStringLiteral("Gamma"));
    EXPECT_FALSE(chooser->dialog()->isVisible());

    // Nothing after the answer reaches the caller again.
    chooser->cancel();
    chooser.reset();
    EXPECT_EQ(answers.size(), 1u);
}

TEST_F(ApplicationChooserDialogTest, EveryOtherEndAnswersCancelOnce) {
    struct Case {
        const char* name;
        std::function<void(std::unique_ptr<ApplicationChooserDialog>&)> end;
    };
    const std::vector<Case> cases = {
        {"Cancel button",
         [](auto& chooser) {
             button(*chooser, QDialogButtonBox::Cancel)->click();
         }},
        {"cancel()",
         [](auto& chooser) {
             chooser->cancel();
         }},
        {"window closed",
         [](auto& chooser) {
             chooser->dialog()->close();
         }},
        {"destroyed",
         [](auto& chooser) {
             chooser.reset();
         }},
    };
    for (const Case& c : cases) {
        answers.clear();
        auto chooser = makeChooser();
        begin(*chooser);
        list(*chooser)->item(0)->setSelected(true);
        c.end(chooser);
        if (chooser) {
            chooser->cancel();
            chooser.reset();
        }
        ASSERT_EQ(answers.size(), 1u) << c.name;
        EXPECT_EQ(answers[0].response, ApplicationChooser::Response::cancel) << c.name;
        EXPECT_TRUE(answers[0].chosen.empty()) << c.name;
    }
}

TEST_F(ApplicationChooserDialogTest, ANeverShownChooserAnswersNothing) {
    auto chooser = makeChooser();
    chooser->cancel();
    chooser.reset();
    EXPECT_TRUE(answers.empty());
}

} // namespace
} // namespace platform
