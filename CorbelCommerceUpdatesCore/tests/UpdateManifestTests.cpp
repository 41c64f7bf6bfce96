#include "corbel/updates/UpdateManifest.hpp"

#include <gtest/gtest.h>

#include <string>

#include "corbel/updates/UpdateFailure.hpp"

namespace corbel {
namespace {

std::optional<UpdateFailure> failureOf(const std::string& data) {
    try {
        UpdateManifest::decoding(data);
    } catch (const UpdateFailure& failure) {
        return failure;
    }
    return std::nullopt;
}

AppVersion version(const char* text) {
    return *AppVersion::parse(text);
}

// A valid document padded with spaces after its end to exactly size bytes.
std::string documentOfSize(std::size_t size) {
    std::string data = R"({"format":1,"apps":{"tidewright":"1.5"}})";
    data.resize(size, ' ');
    return data;
}

TEST(UpdateManifest, DecodesTheVersionOfEachApplication) {
    const auto manifest = UpdateManifest::decoding(
        R"({"format": 1, "apps": {"tidewright": "1.4.2", "other": "2"}, "note": "x"})");
    EXPECT_EQ(manifest.versions,
              (std::map<std::string, AppVersion>{{"tidewright", version("1.4.2")}, {"other", version("2")}}));
    EXPECT_EQ(manifest.versions.at("tidewright").description(), "1.4.2");
}

TEST(UpdateManifest, SkipsEntriesThatAreNotVersionTexts) {
    const auto manifest = UpdateManifest::decoding(
        R"({"format": 1, "apps": {"tidewright": 5, "a": null, "b": {}, "c": ["1"], "d": "1.2 beta",
            "e": true, "other": "1.0"}})");
    EXPECT_EQ(manifest.versions, (std::map<std::string, AppVersion>{{"other", version("1.0")}}));
}

TEST(UpdateManifest, DecodesUpToTheSizeLimitAndRefusesOneByteMoreBeforeParsing) {
    EXPECT_EQ(UpdateManifest::decoding(documentOfSize(UpdateManifest::maximumSize)).versions.at("tidewright"),
              version("1.5"));
    EXPECT_EQ(failureOf(documentOfSize(UpdateManifest::maximumSize + 1)), UpdateFailure::unreadable());
    // A document of another format over the limit is unreadable too: nothing of it was read.
    std::string otherFormat = R"({"format":2,"apps":{}})";
    otherFormat.resize(UpdateManifest::maximumSize + 1, ' ');
    EXPECT_EQ(failureOf(otherFormat), UpdateFailure::unreadable());
}

struct FailureCase {
    const char* name;
    std::string data;
    UpdateFailure expected;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class ManifestFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(ManifestFailure, ThrowsItsCase) {
    EXPECT_EQ(failureOf(GetParam().data), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManifestFailure,
    testing::Values(
        FailureCase{"anotherFormat", R"({"format": 2, "apps": {}})", UpdateFailure::unknownFormat()},
        FailureCase{"formatZero", R"({"format": 0, "apps": {"tidewright": "1"}})",
                    UpdateFailure::unknownFormat()},
        FailureCase{"negativeFormat", R"({"format": -1, "apps": {}})", UpdateFailure::unknownFormat()},
        FailureCase{"hugeIntegralFormat", R"({"format": 18446744073709551615, "apps": {}})",
                    UpdateFailure::unreadable()},
        FailureCase{"formatMissing", R"({"apps": {"tidewright": "1"}})", UpdateFailure::unreadable()},
        FailureCase{"appsMissing", R"({"format": 1})", UpdateFailure::unreadable()},
        FailureCase{"formatAsText", R"({"format": "1", "apps": {}})", UpdateFailure::unreadable()},
        FailureCase{"fractionalFormat", R"({"format": 1.5, "apps": {}})", UpdateFailure::unreadable()},
        FailureCase{"formatNull", R"({"format": null, "apps": {}})", UpdateFailure::unreadable()},
        FailureCase{"appsAnArray", R"({"format": 1, "apps": ["tidewright"]})", UpdateFailure::unreadable()},
        FailureCase{"appsNull", R"({"format": 1, "apps": null})", UpdateFailure::unreadable()},
        FailureCase{"topLevelArray", R"([{"format": 1, "apps": {}}])", UpdateFailure::unreadable()},
        FailureCase{"empty", "", UpdateFailure::unreadable()},
        FailureCase{"notJson", "<html>moved</html>", UpdateFailure::unreadable()},
        FailureCase{"truncated", R"({"format": 1, "apps": {"tidewright": "1.)", UpdateFailure::unreadable()},
        FailureCase{"trailingGarbage", R"({"format": 1, "apps": {}} x)", UpdateFailure::unreadable()},
        FailureCase{"invalidUtf8", "{\"format\": 1, \"apps\": {\"tide\xFF\": \"1\"}}",
                    UpdateFailure::unreadable()},
        FailureCase{"comment", "{\"format\": 1, /* c */ \"apps\": {}}", UpdateFailure::unreadable()}));

TEST(UpdateManifest, ReadsAnIntegralFormatWrittenWithAFraction) {
    EXPECT_EQ(UpdateManifest::decoding(R"({"format": 1.0, "apps": {"a": "1"}})").versions.size(), 1u);
}

TEST(UpdateFailure, OnlyUnreachableMeansTheSiteDidNotAnswer) {
    EXPECT_FALSE(UpdateFailure::unreachable().siteAnswered());
    EXPECT_TRUE(UpdateFailure::unreadable().siteAnswered());
    EXPECT_TRUE(UpdateFailure::unknownFormat().siteAnswered());
    EXPECT_EQ(UpdateFailure::unknownFormat().name(), "unknownFormat");
    EXPECT_EQ(UpdateFailure::unreachable().name(), "unreachable");
    EXPECT_EQ(UpdateFailure::unreadable().name(), "unreadable");
}

} // namespace
} // namespace corbel
