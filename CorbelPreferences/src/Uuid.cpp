#include "corbel/preferences/Uuid.hpp"

#include <QUuid>

namespace corbel {

std::string makeUuidString() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
}

} // namespace corbel
