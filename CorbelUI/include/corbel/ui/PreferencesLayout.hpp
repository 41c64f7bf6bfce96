#pragma once
// The one-column preferences window: 560 wide, the application's icon and a large title above the
// content, 32 between them and between the content's parts, the column 496 wide. Main thread only.

#include "corbel/ui/PreferencesChrome.hpp"

#include <QString>

#include <vector>

namespace corbel {

class PreferencesLayout : public PreferencesChrome {
public:
    // Each content widget is owned by the layout and stands in the column in order.
    PreferencesLayout(CorbelBrand brand, QString title, std::vector<QWidget*> content,
                      QWidget* parent = nullptr, LocalKeyDownMonitoring* keys = nullptr);

    // The column that holds the header and the content.
    QWidget& column() const { return content(); }
    // The header above the content.
    QWidget& header() const { return *header_; }
    // A new title, for a window whose language changed.
    void setTitle(QString title);

private:
    QWidget* header_;
};

} // namespace corbel
