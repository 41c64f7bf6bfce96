#pragma once
// An application's icon from its desktop entry's Icon key: a file path, else a name in the icon
// theme, else the generic application icon. Never absent.

#include <QIcon>
#include <QString>

#include <functional>

namespace platform {

struct IconChoice {
    enum class Source {
        file,    // detail: the file
        theme,   // detail: the theme icon's name
        generic, // detail: empty
    };
    Source source;
    QString detail;

    bool operator==(const IconChoice&) const = default;
};

// Where the icon of an Icon key comes from; themeHas answers whether the icon theme holds a name.
IconChoice chooseIcon(const QString& iconKey, const std::function<bool(const QString&)>& themeHas);

// The icon itself, with Qt's icon theme. REQUIRES: a QGuiApplication exists; main thread.
QIcon applicationIcon(const QString& iconKey);
QIcon iconFor(const IconChoice& choice);

} // namespace platform
