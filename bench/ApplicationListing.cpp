// Lists the applications of this machine's XDG folders as the workspace sees them: the bundle
// identifier each gets, its name, and where its icon comes from, so a person can check them at a
// glance. Then prints how long one scan of the folders takes (median of 20), the work a folder
// change costs off the main thread.
//
//   ApplicationListing [data folder...]   (default: $XDG_DATA_HOME and $XDG_DATA_DIRS)

#include <QGuiApplication>
#include <QIcon>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/workspace/ApplicationIcon.hpp"
#include "platform/workspace/BundleIdentifier.hpp"
#include "platform/workspace/LocalizedStandardCompare.hpp"
#include "platform/xdg/BaseDirectories.hpp"
#include "platform/xdg/DesktopEntryIndex.hpp"

namespace {

QStringList dataFolders(const QStringList& arguments) {
    if (!arguments.isEmpty()) {
        return arguments;
    }
    QStringList folders;
    for (const auto& folder :
         platform::xdg::baseDirectories(platform::xdg::BaseDirectoryVariables::fromEnvironment()).dataFolders()) {
        folders.append(QString::fromStdString(folder.string()));
    }
    return folders;
}

QString messageLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return QStringLiteral("C");
}

const char* sourceName(platform::IconChoice::Source source) {
    switch (source) {
    case platform::IconChoice::Source::file:
        return "file";
    case platform::IconChoice::Source::theme:
        return "theme";
    case platform::IconChoice::Source::generic:
        return "generic";
    }
    return "?";
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    const platform::xdg::IndexSettings settings{dataFolders(arguments), messageLocale(),
                                                qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts)};
    const auto snapshot = platform::xdg::DesktopEntrySnapshot::scan(settings);

    std::vector<const platform::xdg::DesktopEntry*> entries;
    for (const auto& entry : snapshot.entries()) {
        entries.push_back(&entry);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto* a, const auto* b) {
        return platform::localizedStandardCompare(a->name, b->name) < 0;
    });

    std::printf("icon theme: %s\n", qPrintable(QIcon::themeName()));
    std::printf("%-48s %-28s %-8s %s\n", "bundle identifier", "name", "icon", "from (flags)");
    for (const auto* entry : entries) {
        auto id = platform::bundleIdentifierForDesktopId(entry->id.toStdString());
        const auto icon =
            platform::chooseIcon(entry->icon, [](const QString& name) { return QIcon::hasThemeIcon(name); });
        QString flags;
        if (entry->noDisplay) {
            flags += QStringLiteral(" NoDisplay");
        }
        if (entry->tryExecMissing) {
            flags += QStringLiteral(" TryExec-missing");
        }
        std::printf("%-48s %-28s %-8s %s%s\n", id ? id->rawValue().c_str() : "(none)",
                    qPrintable(entry->name), sourceName(icon.source), qPrintable(icon.detail),
                    qPrintable(flags));
    }

    std::vector<double> milliseconds;
    for (int round = 0; round < 20; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const auto again = platform::xdg::DesktopEntrySnapshot::scan(settings);
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (again.entries().size() != snapshot.entries().size()) {
            std::printf("the folders changed while measuring\n");
        }
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("\n%zu entries in %lld folders; one scan: median %.2f ms, max %.2f ms (20 runs)\n",
                snapshot.entries().size(), static_cast<long long>(snapshot.folders().size()),
                milliseconds[milliseconds.size() / 2], milliseconds.back());
    return 0;
}
