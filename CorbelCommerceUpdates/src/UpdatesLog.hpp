#pragma once
// The update module's logging category.

#include <QLoggingCategory>

namespace corbel {
Q_DECLARE_LOGGING_CATEGORY(updatesLog)
}
