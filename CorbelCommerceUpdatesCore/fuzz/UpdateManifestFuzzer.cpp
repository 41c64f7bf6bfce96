// Feeds arbitrary bytes to the feed decoder, as the site's answer, and checks what must hold
// whatever arrives: nothing crashes, the only error is an UpdateFailure of the decoder's two
// kinds, a body over the limit is unreadable, and every version kept is valid and reads back equal
// from its own text. The same bytes are tried as a version text.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "corbel/updates/UpdateFailure.hpp"
#include "corbel/updates/UpdateManifest.hpp"

namespace {

using namespace corbel;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

void checkVersion(const AppVersion& version) {
    require(!version.parts().empty() && version.parts().size() <= AppVersion::maximumParts, "1 to 4 parts");
    for (const auto part : version.parts()) {
        require(part >= 0 && part <= 999'999, "a part of at most six digits");
    }
    const auto again = AppVersion::parse(version.description());
    require(again && *again == version && again->description() == version.description(),
            "a version reads back from its text");
    require(!(version < version) && version == version, "a version equals itself");
}

void checkVersionText(std::string_view text) {
    const auto version = AppVersion::parse(text);
    if (!version) {
        return;
    }
    require(version->description() == text, "the text is kept unchanged");
    for (const char c : text) {
        require((c >= '0' && c <= '9') || c == '.', "only ASCII digits and dots");
    }
    checkVersion(*version);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkVersionText(bytes);
    try {
        const auto manifest = UpdateManifest::decoding(bytes);
        require(size <= UpdateManifest::maximumSize, "only a body within the limit decodes");
        for (const auto& [key, version] : manifest.versions) {
            checkVersion(version);
        }
    } catch (const UpdateFailure& failure) {
        require(failure.siteAnswered(), "the decoder never says the site did not answer");
        require(size <= UpdateManifest::maximumSize || failure == UpdateFailure::unreadable(),
                "a body over the limit is unreadable");
    }
    return 0;
}
