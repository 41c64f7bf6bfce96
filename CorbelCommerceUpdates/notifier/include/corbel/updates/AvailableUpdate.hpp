#pragma once
// One offered update: the version shown to the user, unchanged, and the page its download button
// opens.

#include <QUrl>

#include <string>

namespace corbel {

struct AvailableUpdate {
    std::string version;
    QUrl download;

    bool operator==(const AvailableUpdate&) const = default;
};

} // namespace corbel
