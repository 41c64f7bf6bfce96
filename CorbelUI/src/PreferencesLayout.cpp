#include "corbel/ui/PreferencesLayout.hpp"

#include "PreferencesHeader.hpp"
#include "PreferencesParts.hpp"
#include "corbel/ui/AppIcon.hpp"
#include "corbel/ui/CorbelMetrics.hpp"

#include <QBoxLayout>

namespace corbel {

namespace preferences {

Header::Header(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(static_cast<int>(CorbelMetrics::group));
    if (this->props().showsIcon) {
        icon_ = new AppIcon({.size = iconSize}, this);
        row->addWidget(icon_, 0, Qt::AlignVCenter);
    }
    title_ = new HeadingLabel({.text = this->props().title, .role = CorbelFont::title}, this);
    row->addWidget(title_, 1, Qt::AlignVCenter);
    setMinimumHeight(iconSize);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void Header::propsChanged() {
    TextLabel::Props title = title_->props();
    title.text = props().title;
    title_->setProps(title);
    if (icon_ != nullptr) {
        icon_->setVisible(props().showsIcon);
    }
    updateGeometry();
}

QWidget* headedColumn(QWidget* header, const std::vector<QWidget*>& content, int width) {
    auto* column = new Stack;
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(static_cast<int>(CorbelMetrics::preferencesGroupGap));
    stack->addWidget(header);
    for (QWidget* widget : content) {
        stack->addWidget(widget);
    }
    column->setFixedWidth(width);
    return column;
}

} // namespace preferences

PreferencesLayout::PreferencesLayout(CorbelBrand brand, QString title, std::vector<QWidget*> content,
                                     QWidget* parent, LocalKeyDownMonitoring* keys)
    : PreferencesChrome(
          std::move(brand), static_cast<int>(CorbelMetrics::preferencesWidth),
          preferences::headedColumn(new preferences::Header({.title = std::move(title), .showsIcon = true}),
                                    content, static_cast<int>(CorbelMetrics::preferencesColumn)),
          parent, keys) {
    header_ = column().layout()->itemAt(0)->widget();
}

void PreferencesLayout::setTitle(QString title) {
    auto& header = static_cast<preferences::Header&>(*header_);
    preferences::Header::Props props = header.props();
    props.title = std::move(title);
    header.setProps(props);
}

} // namespace corbel
