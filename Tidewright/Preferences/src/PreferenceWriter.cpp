#include "tidewright/preferences/PreferenceWriter.hpp"

#include "corbel/preferences/WriterIdentity.hpp"

namespace tidewright {

std::string preferenceWriter(platform::UserDefaults& defaults) {
    return corbel::checkedWriterIdentity(defaults, preferenceWriterKey);
}

} // namespace tidewright
