// The opening-rules model over a running preference repository (a scripted store, real defaults
// in a temporary folder) and a scripted catalog, with the manual executor.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/cloud/ScriptedKeyValueStore.hpp"
#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "tidewright/applications/OpeningRules.hpp"
#include "tidewright/preferences/KVSPreferenceCloud.hpp"
#include "tidewright/preferences/LocalPreferenceAccount.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"

namespace tidewright {
namespace {

using platform::PropertyValue;

class ScriptedCatalog final : public ApplicationCatalogReading {
public:
    const std::vector<LocalApplication>& applications() const override { return running; }
    std::vector<ProcessID> runningProcesses() const override { return {}; }
    std::optional<ProcessID> frontmostProcess() override { return std::nullopt; }
    std::uint64_t focusGeneration() const override { return 0; }
    std::optional<LocalApplication> installedApplication(const BundleID& id) const override {
        const auto found = installed.find(id);
        if (found == installed.end()) {
            return std::nullopt;
        }
        return LocalApplication{id, found->second, QIcon()};
    }
    void start() override {}
    void stop() override {}
    void cancelSelection() override {}
    platform::Async<std::vector<LocalApplication>> chooseApplications() override {
        ++chooserCalls;
        co_return co_await platform::withContinuation<std::vector<LocalApplication>>(
            "chooser", [this](platform::Continuation<std::vector<LocalApplication>> continuation) {
                panel = continuation;
            });
    }

    // Closes the open panel with these applications chosen.
    void choose(std::vector<LocalApplication> chosen) {
        auto open = std::exchange(panel, std::nullopt);
        open->resume(std::move(chosen));
    }

    std::vector<LocalApplication> running;
    std::map<BundleID, QString> installed;
    int chooserCalls = 0;
    std::optional<platform::Continuation<std::vector<LocalApplication>>> panel;
};

LocalApplication application(const char* id, const char* name) {
    return LocalApplication{BundleID(id), QString::fromUtf8(name), std::nullopt};
}

std::string rulePayload(const char* app, std::uint64_t counter, std::optional<OpeningAction> action) {
    PreferencePayload payload;
    payload.rules.push_back(OpeningRulePreference{BundleID(app), ItemRevision{counter, "other"}, action});
    return payload.encoded().value();
}

class OpeningRulesTest : public ::testing::Test {
protected:
    QTemporaryDir directory;
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    std::shared_ptr<platform::UserDefaults> defaults = std::make_shared<platform::UserDefaults>(
        std::filesystem::path(directory.path().toStdString()) / "standard.json", executor);
    std::shared_ptr<DefaultsPreferenceCache> cache = std::make_shared<DefaultsPreferenceCache>(defaults);
    std::shared_ptr<platform::ScriptedKeyValueStore> store =
        std::make_shared<platform::ScriptedKeyValueStore>();
    std::shared_ptr<platform::ScriptedCloudIdentity> identity =
        std::make_shared<platform::ScriptedCloudIdentity>();
    std::shared_ptr<ScriptedCatalog> catalog = std::make_shared<ScriptedCatalog>();
    std::shared_ptr<PreferenceRepository> repository;
    std::shared_ptr<OpeningRules> model;

    void SetUp() override { identity->token = platform::scriptedToken(1); }

    void build() {
        repository = PreferenceRepository::create(
            cache, std::make_shared<KVSPreferenceCloud>(store, identity),
            std::make_shared<LocalPreferenceAccount>(cache, [this] { return identity->token; }), "writer",
            executor,
            [clock = &clock](platform::ContinuousDuration d) { return platform::sleepFor(*clock, d); });
        repository->start();
        executor.runUntilIdle();
        model = OpeningRules::create(repository, catalog, executor);
    }
    std::map<BundleID, OpeningAction> usable() { return repository->summary().usableRules(); }
};

TEST_F(OpeningRulesTest, ListsRulesByNameThenIdentifierAndTheRunningApplications) {
    build();
    catalog->running = {application("org.example.Zed", "Zed"), application("org.example.Ant", "Ant")};
    catalog->installed = {{BundleID("a.ten"), QStringLiteral("Editor 10")},
                          {BundleID("a.two"), QStringLiteral("Editor 2")},
                          {BundleID("s.two"), QStringLiteral("Same")},
                          {BundleID("s.one"), QStringLiteral("same")},
                          {BundleID("v.app"), QStringLiteral("Viewer.app")}};
    int ruleNotices = 0;
    int appNotices = 0;
    model->onRulesChange = [&] {
        ++ruleNotices;
    };
    model->onOpenAppsChange = [&] {
        ++appNotices;
    };
    EXPECT_TRUE(model->rules().empty());

    const std::map<BundleID, OpeningAction> rules{
        {BundleID("a.ten"), OpeningAction::center},   {BundleID("a.two"), OpeningAction::maximize},
        {BundleID("s.two"), OpeningAction::center},   {BundleID("s.one"), OpeningAction::center},
        {BundleID("v.app"), OpeningAction::maximize}, {BundleID("not.installed"), OpeningAction::center}};
    model->apply(rules);
    std::vector<std::pair<std::string, QString>> shown;
    for (const auto& row : model->rules()) {
        shown.emplace_back(row.id.rawValue(), row.name);
        EXPECT_EQ(row.action, rules.at(row.id));
        EXPECT_EQ(row.icon.has_value(), row.id.rawValue() != "not.installed") << row.id.rawValue();
    }
    EXPECT_EQ(shown, (std::vector<std::pair<std::string, QString>>{
                         {"a.two", QStringLiteral("Editor 2")},
                         {"a.ten", QStringLiteral("Editor 10")},
                         {"not.installed", QStringLiteral("not.installed")},
                         {"s.one", QStringLiteral("same")},
                         {"s.two", QStringLiteral("Same")},
                         {"v.app", QStringLiteral("Viewer")},
                     }));
    EXPECT_EQ(model->openApps(), (std::vector<TidewrightOpenAppPresentation>{
                                     {BundleID("org.example.Zed"), QStringLiteral("Zed")},
                                     {BundleID("org.example.Ant"), QStringLiteral("Ant")}}));
    // A rebuild is one mutation of each list, changed or not.
    model->refresh();
    EXPECT_EQ(ruleNotices, 2);
    EXPECT_EQ(appNotices, 2);
}

TEST_F(OpeningRulesTest, AddsACentreRuleOnlyWhereNoUsableRuleOrRealProblemExists) {
    struct Case {
        const char* name;
        const char* app;
        bool signedIn;
        bool applied;
    };
    const std::vector<Case> cases{
        {"noRuleYet", "org.example.New", true, true},
        {"usableRule", "org.example.Usable", true, false},
        {"onlyAccountUnavailable", "org.example.Removed", false, true},
        {"damagedRule", "org.example.Damaged", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        identity->token = c.signedIn ? std::optional(platform::scriptedToken(1)) : std::nullopt;
        // A removal marker offline: no usable rule, and a notice of the missing account.
        cache->set("tidewright.preference.cache.offline." + ruleKey(BundleID("org.example.Removed")),
                   rulePayload("org.example.Removed", 1, std::nullopt));
        store->values.insert_or_assign(
            ruleKey(BundleID("org.example.Usable")),
            PropertyValue::data(rulePayload("org.example.Usable", 1, OpeningAction::maximize)));
        // Its own key, but a counter of 0 is invalid.
        store->values.insert_or_assign(
            ruleKey(BundleID("org.example.Damaged")),
            PropertyValue::data(rulePayload("org.example.Damaged", 0, OpeningAction::center)));
        build();
        const BundleID app(c.app);
        const auto before = usable();
        model->addRule(app);
        executor.runUntilIdle();
        auto expected = before;
        if (c.applied) {
            expected.insert_or_assign(app, OpeningAction::center);
        }
        EXPECT_EQ(usable(), expected);
        repository->stop();
    }
}

TEST_F(OpeningRulesTest, SetsAndRemovesActionsUnconditionally) {
    build();
    const BundleID app("org.example.Editor");
    model->setAction(app, OpeningAction::maximize);
    EXPECT_EQ(usable(), (std::map<BundleID, OpeningAction>{{app, OpeningAction::maximize}}));
    EXPECT_TRUE(model->rules().empty()) << "the lists follow apply(), not the model's own edits";
    model->setAction(app, OpeningAction::center);
    EXPECT_EQ(usable(), (std::map<BundleID, OpeningAction>{{app, OpeningAction::center}}));
    model->removeRule(app);
    EXPECT_TRUE(usable().empty());
}

TEST_F(OpeningRulesTest, TheChooserAddsARuleForEachNewChoice) {
    build();
    model->setAction(BundleID("b.has"), OpeningAction::maximize);
    model->presentChooser();
    executor.runUntilIdle();
    EXPECT_EQ(catalog->chooserCalls, 0) << "not running";
    EXPECT_FALSE(model->hasChooser());

    model->start();
    model->presentChooser();
    model->presentChooser();
    executor.runUntilIdle();
    EXPECT_EQ(catalog->chooserCalls, 1);
    ASSERT_TRUE(catalog->panel);
    catalog->choose({application("a.one", "One"), application("b.has", "Has"), application("c.two", "Two")});
    executor.runUntilIdle();
    EXPECT_EQ(usable(), (std::map<BundleID, OpeningAction>{{BundleID("a.one"), OpeningAction::center},
                                                           {BundleID("b.has"), OpeningAction::maximize},
                                                           {BundleID("c.two"), OpeningAction::center}}));
    EXPECT_FALSE(model->hasChooser());
}

TEST_F(OpeningRulesTest, ACancelledOrStoppedChooserAddsNothing) {
    build();
    model->start();
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "stopped" : "cancelled");
        model->start();
        model->presentChooser();
        executor.runUntilIdle();
        ASSERT_TRUE(catalog->panel);
        if (stop) {
            model->stop();
        } else {
            model->cancelChooser();
        }
        EXPECT_FALSE(model->hasChooser());
        catalog->choose({application("a.one", "One")});
        executor.runUntilIdle();
        EXPECT_TRUE(usable().empty());
    }
}

} // namespace
} // namespace tidewright
