// Times the synced preferences: one refresh of a repository holding 1,000 rules (the first, which
// merges them all into a fresh installation, and the median of later ones), and the time from an
// edit in installation A to the changed summary of installation B through a real synced folder on
// disk (median and 95th percentile over 100 edits). Both installations share one manual executor,
// so the time is that of the work itself: A's encoding and atomic file write, inotify, B's read,
// merge and cache write.

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "tidewright/preferences/PreferenceInstallation.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"

namespace {

using namespace tidewright;
using Stopwatch = std::chrono::steady_clock;

double millisecondsSince(Stopwatch::time_point start) {
    return std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count();
}

// Nearest rank. REQUIRES: times is not empty.
double percentile(std::vector<double> times, double fraction) {
    std::sort(times.begin(), times.end());
    const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(times.size()) + 0.999999);
    return times[std::clamp<std::size_t>(rank, 1, times.size()) - 1];
}

BundleID appNumber(int i) {
    return BundleID("org.example.app" + std::to_string(i));
}

void refreshWithRules(const std::filesystem::path& root) {
    constexpr int rules = 1000;
    const auto synced = root / "refresh";
    std::filesystem::create_directories(synced);
    testing::writeAccountFile(synced, "bench");
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    {
        // The rules as another installation published them.
        auto folder =
            platform::CloudFolder::open(synced, executor, platform::CloudFolder::Watching::manually);
        auto store = folder->makeStore();
        for (int i = 0; i < rules; ++i) {
            PreferencePayload payload;
            payload.rules.push_back(
                OpeningRulePreference{appNumber(i), ItemRevision{1, "publisher"},
                                      i % 2 ? OpeningAction::center : OpeningAction::maximize});
            store->setData(ruleKey(appNumber(i)), payload.encoded().value());
        }
        executor.runUntilIdle();
    }
    auto defaults = std::make_shared<platform::UserDefaults>(root / "refresh.json", executor);
    auto folder = platform::CloudFolder::open(synced, executor, platform::CloudFolder::Watching::manually);
    auto repository = PreferenceRepository::live(defaults, folder, executor, clock);

    const auto first = Stopwatch::now();
    repository->start();
    const double firstTime = millisecondsSince(first);
    executor.runUntilIdle();
    if (repository->summary().usableRules().size() != rules) {
        throw std::runtime_error("the fresh installation did not take every rule");
    }
    std::vector<double> times;
    for (int i = 0; i < 50; ++i) {
        const auto start = Stopwatch::now();
        repository->refresh();
        times.push_back(millisecondsSince(start));
        executor.runUntilIdle();
    }
    repository->stop();
    std::printf("refresh of a repository holding %d rules: first (merging them all) %.2f ms, "
                "later ones median %.2f ms over %zu\n",
                rules, firstTime, percentile(times, 0.5), times.size());
}

void editToSummary(const std::filesystem::path& root) {
    constexpr int edits = 100;
    const auto synced = root / "pair";
    std::filesystem::create_directories(synced);
    testing::writeAccountFile(synced, "bench");
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    testing::PreferenceInstallation a(synced, root / "a.json", executor, clock);
    testing::PreferenceInstallation b(synced, root / "b.json", executor, clock);
    executor.runUntilIdle();

    std::vector<double> times;
    for (int i = 0; i < edits; ++i) {
        const auto before = b.repository->summary();
        const auto start = Stopwatch::now();
        if (i % 2 == 0) {
            a.repository->apply(PreferenceEdit::enabled(!before.operationEnabled()));
        } else {
            a.repository->apply(PreferenceEdit::rule(appNumber(i), OpeningAction::center));
        }
        executor.runUntilIdle();
        const auto deadline = Stopwatch::now() + std::chrono::seconds(5);
        while (b.repository->summary() == before) {
            if (Stopwatch::now() > deadline) {
                throw std::runtime_error("B's summary did not change");
            }
            b.deliver();
        }
        times.push_back(millisecondsSince(start));
    }
    std::printf("A's edit to B's changed summary through the synced folder, %d edits: median %.2f ms, "
                "p95 %.2f ms\n",
                edits, percentile(times, 0.5), percentile(times, 0.95));
}

} // namespace

int main() try {
    QTemporaryDir directory;
    if (!directory.isValid()) {
        throw std::runtime_error("no temporary folder");
    }
    const std::filesystem::path root(directory.path().toStdString());
    refreshWithRules(root);
    editToSummary(root);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
}
