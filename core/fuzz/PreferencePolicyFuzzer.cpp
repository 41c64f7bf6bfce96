// Feeds arbitrary bytes to a preference policy as the cloud's value of its key, and checks what
// must hold whatever arrives: nothing crashes, the snapshot stays valid, within the limit and of
// its key, a publication carries the snapshot, and a merge gives the same result on both devices.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "tidewright/core/PreferencePolicy.hpp"

#ifndef FUZZ_RULE_KEY
#error "define FUZZ_RULE_KEY as 1 for a rule key or 0 for the on/off key"
#endif

namespace {

using namespace tidewright;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

const std::string writer = "0C5E-77A1";

PreferenceFragment fragment() {
    if (FUZZ_RULE_KEY) {
        return PreferenceFragment::rule(BundleID("com.example.app"));
    }
    return PreferenceFragment::enabled();
}

PreferencePayload localPayload() {
    PreferencePayload local;
    if (FUZZ_RULE_KEY) {
        local.rules.push_back(
            OpeningRulePreference{BundleID("com.example.app"), ItemRevision{3, "B"}, OpeningAction::center});
    } else {
        local.enabled = EnabledPreference{ItemRevision{3, "B"}, false};
    }
    return local;
}

PreferenceEdit anEdit() {
    if (FUZZ_RULE_KEY) {
        return PreferenceEdit::rule(BundleID("com.example.app"), OpeningAction::maximize);
    }
    return PreferenceEdit::enabled(true);
}

void checkState(const PreferencePolicy& policy) {
    require(policy.snapshot().isValid(), "the snapshot is valid");
    if (policy.availability() == PreferenceAvailability::available) {
        require(policy.snapshot().fitsStorage(), "an available snapshot fits storage");
    }
    require(!fragment().validate(policy.snapshot()), "the snapshot belongs to its key");
}

void checkAnswer(const PreferencePolicy& policy, const PreferencePublication& answer) {
    if (answer.kind() == PreferencePublication::Kind::publish) {
        require(answer.payload() == policy.snapshot(), "a publication carries the snapshot");
        require(policy.snapshot().fitsStorage(), "a published payload fits storage");
    }
}

std::optional<PreferencePayload> decoded(std::string_view data) {
    try {
        return PreferencePayload::decode(data);
    } catch (const DecodingError&) {
    } catch (const IdentityError&) {
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    const PreferencePayload local = localPayload();

    PreferencePolicy policy(local, fragment());
    const auto answer = policy.receive(data, PreferenceCloudState::available, true);
    checkState(policy);
    checkAnswer(policy, answer);

    if (policy.issue() == std::nullopt) {
        // The merged state, once published, is what the cloud holds: receiving it changes nothing.
        const PreferencePayload merged = policy.snapshot();
        require(policy.receive(*merged.encoded(), PreferenceCloudState::available, true) ==
                    PreferencePublication::none(),
                "the published state merges to itself");
        require(policy.snapshot() == merged, "receiving the published state keeps it");
    }

    const auto edited = policy.edit(anEdit(), writer);
    checkState(policy);
    checkAnswer(policy, edited);

    if (const auto incoming = decoded(data); incoming && incoming->isValid()) {
        // Both devices reach the same state whichever side is local.
        require(local.merged(*incoming) == incoming->merged(local), "the merge is symmetric");
        // A policy made from whatever was stored locally keeps the same invariants.
        PreferencePolicy stored(*incoming, fragment());
        require(stored.snapshot().isValid(), "a stored snapshot is valid");
        checkAnswer(stored, stored.receive(data, PreferenceCloudState::available, true));
        checkAnswer(stored, stored.edit(anEdit(), writer));
    }
    return 0;
}
