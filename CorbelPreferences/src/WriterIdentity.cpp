#include "corbel/preferences/WriterIdentity.hpp"

#include <QLoggingCategory>

#include "corbel/preferences/Uuid.hpp"

namespace corbel {

namespace {
Q_LOGGING_CATEGORY(preferencesLog, "app.corbelthane.tidewright.preferences")
}

bool isValidWriterIdentity(std::string_view writer) {
    return !writer.empty() && writer.size() <= 128 && platform::isWellFormedUtf8(writer);
}

std::string checkedWriterIdentity(platform::UserDefaults& defaults, std::string_view key) {
    auto writer = defaults.string(key);
    if (!writer || !isValidWriterIdentity(*writer)) {
        if (defaults.object(key)) {
            qCWarning(preferencesLog, "the stored writer identity is unusable: making a new one");
        }
        writer = makeUuidString();
    }
    defaults.setString(key, *writer);
    return *writer;
}

} // namespace corbel
