#include "corbel/ui/CorbelSnapshot.hpp"

#include <QCoreApplication>

namespace corbel {

namespace {

// Read from the application when it exists; before it does, there is no argument list to ask.
QStringList processArguments() {
    return QCoreApplication::instance() != nullptr ? QCoreApplication::arguments() : QStringList{};
}

} // namespace

bool CorbelSnapshot::isRequested() {
    return isRequested(processArguments());
}

bool CorbelSnapshot::isRequested(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument.startsWith(QStringLiteral("--snapshot-"), Qt::CaseSensitive)) {
            return true;
        }
    }
    return false;
}

bool CorbelSnapshot::hasArgument(const QString& argument) {
    return hasArgument(processArguments(), argument);
}

bool CorbelSnapshot::hasArgument(const QStringList& arguments, const QString& argument) {
    return arguments.contains(argument, Qt::CaseSensitive);
}

std::optional<QString> CorbelSnapshot::value(const QString& option) {
    return value(processArguments(), option);
}

std::optional<QString> CorbelSnapshot::value(const QStringList& arguments, const QString& option) {
    const qsizetype index = arguments.indexOf(option);
    if (index < 0 || index + 1 >= arguments.size()) {
        return std::nullopt;
    }
    return arguments.at(index + 1);
}

QString CorbelSnapshot::title(const CorbelBrand& brand) {
    return brand.name() + QStringLiteral(" Snapshot");
}

double CorbelSnapshot::cornerRadius(Surface surface) {
    return surface == Surface::menu ? 16.0 : 26.0;
}

} // namespace corbel
