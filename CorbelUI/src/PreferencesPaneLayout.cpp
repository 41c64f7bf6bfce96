#include "corbel/ui/PreferencesPaneLayout.hpp"

#include "PreferencesHeader.hpp"
#include "PreferencesParts.hpp"
#include "corbel/ui/AppIcon.hpp"
#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace corbel::preferences {
namespace {

constexpr int rowPadding = 12;
constexpr qreal rowRadius = 12;
constexpr qreal rowRingRadius = 16; // the row's corners, 4 further out

QBoxLayout* bare(QBoxLayout::Direction direction, QWidget* owner, int spacing) {
    auto* layout = new QBoxLayout(direction, owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

} // namespace

// MARK: row

PaneRow::PaneRow(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setFixedHeight(rowHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = bare(QBoxLayout::LeftToRight, this, static_cast<int>(CorbelMetrics::row));
    row->setContentsMargins(rowPadding, 0, rowPadding, 0);
    symbol_ = new SymbolView(
        {.role = CorbelFont::text, .frameWidth = CorbelMetrics::symbolColumn, .accessibilityHidden = true},
        this);
    title_ = new TextLabel({.role = CorbelFont::text, .lineLimit = 1, .minimumScaleFactor = 0.8}, this);
    title_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    row->addWidget(symbol_, 0, Qt::AlignVCenter);
    row->addWidget(title_, 0, Qt::AlignVCenter);
    row->addStretch();
    if (parent != nullptr) {
        attachFocusRing(*this, RingShape::roundedRectangle(rowRingRadius));
    }
}

void PaneRow::setPane(const PaneEntry& pane) {
    tint_ = pane.tint;
    selected_ = pane.selected;
    TextLabel::Props title = title_->props();
    title.text = pane.title;
    title.role = selected_ ? CorbelFont::textSemibold : CorbelFont::text;
    title_->setProps(title);
    SymbolView::Props symbol = symbol_->props();
    symbol.name = pane.symbol;
    symbol_->setProps(symbol);
    refresh();
}

void PaneRow::refresh() {
    SymbolView::Props symbol = symbol_->props();
    // The pane's own colour in every state; else the primary colour when chosen, the accent when not.
    if (tint_) {
        symbol.color = tint_;
    } else if (selected_) {
        symbol.color.reset();
    } else {
        symbol.color = tintOf(palette());
    }
    symbol_->setProps(symbol);
    update();
}

QString PaneRow::accessibleLabel() const {
    return title_->props().text;
}

void PaneRow::paintEvent(QPaintEvent*) {
    if (!selected_) {
        return;
    }
    QColor fill = tintOf(palette());
    fill.setAlphaF(0.25F);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(RingShape::roundedRectangle(rowRadius).path(QRectF(rect())));
}

void PaneRow::mouseReleaseEvent(QMouseEvent* event) {
    // The rounded fill is the row's hit shape: its cut corners take no clicks.
    const bool inside =
        RingShape::roundedRectangle(rowRadius).path(QRectF(rect())).contains(event->position());
    if (event->button() == Qt::LeftButton && inside && onPress_) {
        onPress_();
    }
}

void PaneRow::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        if (onPress_) {
            onPress_();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void PaneRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        refresh();
    }
    QWidget::changeEvent(event);
}

// MARK: list

PaneList::PaneList(QWidget* parent) : QWidget(parent) {
    stack_ = (bare(QBoxLayout::TopToBottom, this, static_cast<int>(CorbelMetrics::tight)));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PaneList::setPanes(const std::vector<PaneEntry>& panes) {
    // Rows beyond the panes go, later: one of them may be reporting the press that led here.
    while (rows_.size() > panes.size()) {
        for (QWidget* gone : {static_cast<QWidget*>(rows_.back()), sections_.back()->parentWidget()}) {
            stack_->removeWidget(gone);
            gone->hide();
            gone->deleteLater();
        }
        rows_.pop_back();
        sections_.pop_back();
    }
    while (rows_.size() < panes.size()) {
        auto* heading = new Stack(this);
        auto* padded = bare(QBoxLayout::TopToBottom, heading, 0);
        padded->setContentsMargins(rowPadding, 8, rowPadding, 0);
        auto* section = new HeadingLabel({.role = CorbelFont::support}, heading);
        padded->addWidget(section);
        auto* row = new PaneRow(this);
        const int index = static_cast<int>(rows_.size());
        row->setOnPress([this, index] {
            if (onSelect_) {
                onSelect_(index);
            }
        });
        stack_->addWidget(heading);
        stack_->addWidget(row);
        rows_.push_back(row);
        sections_.push_back(section);
    }
    for (std::size_t i = 0; i < panes.size(); ++i) {
        rows_[i]->setPane(panes[i]);
        TextLabel::Props section = sections_[i]->props();
        section.text = panes[i].section.value_or(QString());
        sections_[i]->setProps(section);
        sections_[i]->parentWidget()->setVisible(panes[i].section.has_value());
        static_cast<Stack*>(sections_[i]->parentWidget())
            ->setReading(panes[i].section ? Stack::Reading::children : Stack::Reading::hidden);
    }
    colourSections();
    updateGeometry();
}

void PaneList::colourSections() {
    const QColor secondary = systemColor(SystemColor::secondaryLabel, schemeOf(palette()));
    for (TextLabel* heading : sections_) {
        TextLabel::Props section = heading->props();
        section.color = secondary;
        heading->setProps(section);
    }
}

void PaneList::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        colourSections();
    }
    QWidget::changeEvent(event);
}

// MARK: layout

PaneLayoutBase::PaneLayoutBase(CorbelBrand brand, QWidget* parent, LocalKeyDownMonitoring* keys)
    : PreferencesChrome(std::move(brand), static_cast<int>(CorbelMetrics::preferencesPanesWidth), new Stack,
                        parent, keys) {
    auto* columns =
        bare(QBoxLayout::LeftToRight, &content(), static_cast<int>(CorbelMetrics::preferencesGroupGap));

    auto* left = new Stack(&content());
    left->setFixedWidth(static_cast<int>(CorbelMetrics::preferencesSidebar));
    auto* leftStack =
        bare(QBoxLayout::TopToBottom, left, static_cast<int>(CorbelMetrics::preferencesGroupGap));
    leftStack->addWidget(new AppIcon({.size = Header::iconSize}, left), 0, Qt::AlignLeft);
    list_ = new PaneList(left);
    leftStack->addWidget(list_);
    leftStack->addStretch();

    header_ = new Header({.showsIcon = false});
    QWidget* right = headedColumn(header_, {}, static_cast<int>(CorbelMetrics::preferencesColumn));
    right->setParent(&content());
    right_ = static_cast<QBoxLayout*>(right->layout());

    columns->addWidget(left, 0, Qt::AlignTop);
    columns->addWidget(right, 0, Qt::AlignTop);
}

TextLabel& PaneLayoutBase::headerTitle() const {
    return static_cast<Header*>(header_)->title();
}

void PaneLayoutBase::showPanes(const std::vector<PaneEntry>& panes) {
    list_->setPanes(panes);
}

void PaneLayoutBase::showTitle(const QString& title) {
    auto* header = static_cast<Header*>(header_);
    header->setProps({.title = title, .showsIcon = false});
}

void PaneLayoutBase::showContent(QWidget* content) {
    if (paneContent_ != nullptr) {
        right_->removeWidget(paneContent_);
        paneContent_->hide();
        paneContent_->deleteLater();
    }
    paneContent_ = content;
    if (paneContent_ != nullptr) {
        right_->addWidget(paneContent_);
    }
}

} // namespace corbel::preferences
