#include "tidewright/views/TidewrightBrand.hpp"

namespace tidewright {

const corbel::CorbelBrand& tidewrightBrand() {
    static const corbel::CorbelBrand brand(QStringLiteral("Tidewright"), QColor(36, 92, 242),
                                           corbel::CorbelBrand::Connection::offline, QColor(107, 152, 255),
                                           std::nullopt);
    return brand;
}

} // namespace tidewright
