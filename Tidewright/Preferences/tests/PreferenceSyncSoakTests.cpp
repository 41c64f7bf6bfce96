// Two installations over one synced folder, driven through many seeded interleavings of edits,
// deliveries, waits, account changes and restarts: afterwards both must agree, and no edit that
// the merge keeps may be missing.

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include "tidewright/preferences/PreferenceInstallation.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"

namespace tidewright {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::PreferenceInstallation;

constexpr int interleavings = 1000;
constexpr int stepsPerInterleaving = 24;

const std::vector<BundleID>& apps() {
    static const std::vector<BundleID> list{BundleID("org.example.Editor"), BundleID("org.example.Mail"),
                                            BundleID("org.example.Viewer")};
    return list;
}

// One item of the preferences: the on/off switch, or one application's rule.
struct Item {
    std::optional<BundleID> app;
    std::string key() const { return app ? ruleKey(*app) : std::string(enabledPreferenceKey); }
};

// An item's revision and value as one installation cached it; the value is the on/off value or
// the action text ("" for a removed rule).
struct Version {
    ItemRevision revision;
    std::string value;
    bool operator==(const Version&) const = default;
};

std::optional<Version> cachedVersion(PreferenceInstallation& installation, const std::string& marker,
                                     const Item& item) {
    const auto data = installation.defaults->data("tidewright.preference.cache." + marker + "." + item.key());
    if (!data) {
        return std::nullopt;
    }
    const auto payload = PreferencePayload::decode(*data);
    if (!item.app) {
        if (!payload.enabled) {
            return std::nullopt;
        }
        return Version{payload.enabled->revision, payload.enabled->value ? "on" : "off"};
    }
    for (const auto& rule : payload.rules) {
        if (rule.app == *item.app) {
            return Version{rule.revision, rule.action ? std::string(rawValue(*rule.action)) : std::string()};
        }
    }
    return std::nullopt;
}

std::optional<Version> cachedVersion(PreferenceInstallation& installation, const Item& item) {
    return cachedVersion(installation, installation.repository->account().marker(), item);
}

std::string accountOf(PreferenceInstallation& installation) {
    const auto token = installation.folder->identityToken();
    return token ? token->archive() : std::string();
}

// Memory-backed when the machine has it: the folder and the defaults write atomically, and a
// thousand interleavings of synced writes to a disk would take minutes.
QString temporaryTemplate() {
    if (fs::is_directory("/dev/shm")) {
        return QStringLiteral("/dev/shm/tidewright-sync-soak-XXXXXX");
    }
    return QDir::tempPath() + QStringLiteral("/tidewright-sync-soak-XXXXXX");
}

struct Edit {
    std::string account;
    std::size_t item;
    Version version;
};

class Interleaving {
public:
    explicit Interleaving(unsigned seed) : random_(seed) {
        fs::create_directories(synced_);
        testing::writeAccountFile(synced_, "alice");
        a_ = std::make_unique<PreferenceInstallation>(synced_, root_ / "a.json", executor_, clock_);
        b_ = std::make_unique<PreferenceInstallation>(synced_, root_ / "b.json", executor_, clock_);
        items_.push_back(Item{});
        for (const auto& app : apps()) {
            items_.push_back(Item{app});
        }
    }

    void run() {
        for (int step = 0; step < stepsPerInterleaving; ++step) {
            auto& installation = pick(2) == 0 ? *a_ : *b_;
            switch (pick(10)) {
            case 0:
            case 1:
            case 2:
                edit(installation);
                break;
            case 3:
            case 4:
                installation.deliver();
                break;
            case 5:
                executor_.runUntilIdle();
                break;
            case 6: {
                static constexpr std::array<platform::ContinuousDuration, 4> waits{500ms, 1s, 3s, 10s};
                clock_.advance(waits[pick(waits.size())]);
                break;
            }
            case 7:
                testing::writeAccountFile(synced_, pick(2) == 0 ? "alice" : "bob");
                break;
            case 8:
                installation.restart();
                break;
            case 9:
                installation.repository->refresh();
                break;
            }
        }
    }

    // Lets everything settle: every notice delivered and every retry run. An account that changed
    // and changed back before an installation read its notices leaves that notice unmatched,
    // which keeps the cloud closed until the next start, so an installation left so is restarted.
    void settle() {
        const auto turn = [this] {
            for (int round = 0; round < 3; ++round) {
                a_->deliver();
                b_->deliver();
                clock_.advance(15s);
            }
        };
        turn();
        for (auto* installation : {a_.get(), b_.get()}) {
            if (installation->repository->barrier() != PreferenceRepository::AccountBarrier::ready) {
                installation->restart();
            }
        }
        turn();
    }

    void check() {
        ASSERT_EQ(accountOf(*a_), accountOf(*b_));
        EXPECT_EQ(a_->repository->summary(), b_->repository->summary());
        EXPECT_TRUE(a_->repository->summary().issues().empty());
        const std::string account = accountOf(*a_);
        for (std::size_t index = 0; index < items_.size(); ++index) {
            SCOPED_TRACE(items_[index].key());
            const auto finalA = cachedVersion(*a_, items_[index]);
            EXPECT_EQ(finalA, cachedVersion(*b_, items_[index]));
            bool known = !finalA;
            for (const auto& edit : edits_) {
                if (edit.item != index) {
                    continue;
                }
                if (finalA && edit.version == *finalA) {
                    known = true;
                }
                // An edit made under the final account is kept unless a greater revision won.
                if (edit.account == account) {
                    ASSERT_TRUE(finalA.has_value());
                    EXPECT_GE(finalA->revision, edit.version.revision) << "value " << edit.version.value;
                }
            }
            EXPECT_TRUE(known) << "a value no edit made: " << finalA->value;
        }
    }

private:
    static std::string writer(PreferenceInstallation& installation) {
        return installation.defaults->string("tidewright.preference.writer").value_or("");
    }

    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

    void edit(PreferenceInstallation& installation) {
        const std::size_t index = pick(items_.size());
        const auto& item = items_[index];
        // The edit may find the account changed, or leave it changed when the read that follows
        // it finds a new account: it is kept under whichever account's cache it changed.
        const std::string markerBefore = installation.repository->account().marker();
        const std::string accountBefore = accountOf(installation);
        const auto before = cachedVersion(installation, item);
        if (!item.app) {
            installation.repository->apply(PreferenceEdit::enabled(pick(2) == 0));
        } else if (pick(3) == 0) {
            installation.repository->apply(PreferenceEdit::removeRule(*item.app));
        } else {
            installation.repository->apply(PreferenceEdit::rule(
                *item.app, pick(2) == 0 ? OpeningAction::center : OpeningAction::maximize));
        }
        if (const auto after = cachedVersion(installation, markerBefore, item); after && after != before) {
            edits_.push_back(Edit{accountBefore, index, *after});
        } else if (installation.repository->account().marker() != markerBefore) {
            if (const auto switched = cachedVersion(installation, item);
                switched && switched->revision.writer == writer(installation)) {
                edits_.push_back(Edit{accountOf(installation), index, *switched});
            }
        }
    }

    std::mt19937 random_;
    QTemporaryDir directory_{temporaryTemplate()};
    fs::path root_ = fs::path(directory_.path().toStdString());
    fs::path synced_ = root_ / "synced";
    platform::ManualExecutor executor_;
    platform::ManualClock clock_{executor_};
    std::unique_ptr<PreferenceInstallation> a_;
    std::unique_ptr<PreferenceInstallation> b_;
    std::vector<Item> items_;
    std::vector<Edit> edits_;
};

TEST(PreferenceSyncSoakTest, TwoInstallationsAgreeAfterEveryInterleaving) {
    for (unsigned seed = 1; seed <= interleavings; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Interleaving interleaving(seed);
        interleaving.run();
        interleaving.settle();
        interleaving.check();
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
}

} // namespace
} // namespace tidewright
