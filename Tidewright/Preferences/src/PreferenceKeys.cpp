#include "tidewright/preferences/PreferenceKeys.hpp"

#include <QByteArray>
#include <QCryptographicHash>

namespace tidewright {

bool isPreferenceKey(std::string_view key) noexcept {
    return key == enabledPreferenceKey || key.starts_with(rulePreferenceKeyPrefix);
}

std::string ruleKey(const BundleID& app) {
    const std::string& text = app.rawValue();
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(text.data(), static_cast<qsizetype>(text.size())), QCryptographicHash::Sha256);
    return std::string(rulePreferenceKeyPrefix) + digest.toHex().toStdString();
}

} // namespace tidewright
