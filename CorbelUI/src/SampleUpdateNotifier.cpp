#include "corbel/ui/SampleUpdateNotifier.hpp"

#include <QtGlobal>

namespace corbel {

QUrl SampleUpdateNotifier::downloadPage() {
    const QUrl url(QStringLiteral(CORBEL_UPDATE_DOWNLOADS_ADDRESS), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) {
        qFatal("The download page built in is not a valid address");
    }
    return url;
}

SampleUpdateNotifier::SampleUpdateNotifier() {
    available_.set(AvailableUpdate{"1.1", downloadPage()});
}

} // namespace corbel
