#include "corbel/ui/KitMenuButton.hpp"

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/WordWrapping.hpp"

#include <QActionGroup>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace corbel {
namespace {

// The chevrons' sizes at the standard text size; they grow with the text, so that at the largest
// sizes they stay as legible beside the title as at the standard one.
constexpr qreal chevronWidth = 7;
constexpr qreal chevronGap = 6;

qreal chevronScale(const QWidget& widget) {
    return KitEnvironment::values(widget).textSizeFactor;
}

QFont labelFont(const QWidget& widget, ControlSize size) {
    return roleFont(controlMetrics(size).role, KitEnvironment::values(widget).textSizeFactor);
}

// The label's font when it wraps in `room`: shrunk so that none of its words is split.
QFont wrappedLabelFont(const QWidget& widget, ControlSize size, const QString& title, qreal room) {
    return fontFittingWords(title, labelFont(widget, size), room, wordFitFloor(controlMetrics(size).role));
}

} // namespace

QString actionText(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

KitMenuButton::KitMenuButton(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

KitMenuButton::~KitMenuButton() {
    delete menu_.data();
}

void KitMenuButton::setOnSelect(std::function<void(int)> onSelect) {
    onSelect_ = std::move(onSelect);
}

void KitMenuButton::setOnEntry(std::function<void(const QString&)> onEntry) {
    onEntry_ = std::move(onEntry);
}

QSize KitMenuButton::sizeHint() const {
    const ControlMetrics& metrics = controlMetrics(props().size);
    const QFontMetricsF fm(labelFont(*this, props().size));
    qreal title = fm.horizontalAdvance(props().title);
    for (const QString& other : props().titleRoom) {
        title = std::max(title, fm.horizontalAdvance(other));
    }
    const qreal width = title + (chevronGap + chevronWidth) * chevronScale(*this);
    return {static_cast<int>(std::ceil(width)) + 2 * metrics.horizontalPadding,
            std::max(metrics.height, static_cast<int>(std::ceil(fm.height())) + 4)};
}

QSize KitMenuButton::minimumSizeHint() const {
    const QSize hint = sizeHint();
    qreal word = widestWordWidth(props().title, labelFont(*this, props().size));
    for (const QString& other : props().titleRoom) {
        word = std::max(word, widestWordWidth(other, labelFont(*this, props().size)));
    }
    const int width = static_cast<int>(std::ceil(word + (chevronGap + chevronWidth) * chevronScale(*this))) +
                      2 * controlMetrics(props().size).horizontalPadding;
    return {std::min(hint.width(), width), hint.height()};
}

int KitMenuButton::heightForWidth(int width) const {
    const QSize hint = sizeHint();
    if (width >= hint.width()) {
        return hint.height();
    }
    const qreal room =
        width - 2 * controlMetrics(props().size).horizontalPadding - (chevronGap + chevronWidth) * chevronScale(*this);
    const QFont font = wrappedLabelFont(*this, props().size, props().title, room);
    const QFontMetricsF fm(font);
    const auto lines = static_cast<qreal>(buttonLabelLines(font, props().title, room).size());
    return hint.height() + static_cast<int>(std::ceil((lines - 1) * fm.lineSpacing()));
}

void KitMenuButton::openMenu() {
    delete menu_.data();
    menu_ = new QMenu(this);
    auto* group = new QActionGroup(menu_);
    group->setExclusive(true);
    for (int i = 0; i < props().options.size(); ++i) {
        QAction* action = menu_->addAction(actionText(props().options[i]));
        action->setCheckable(true);
        action->setChecked(i == props().selected);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] {
            if (onSelect_) {
                onSelect_(i);
            }
        });
    }
    for (const KitMenuEntry& entry : props().entries) {
        if (entry.kind == KitMenuEntry::Kind::divider) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(actionText(entry.text));
        action->setEnabled(entry.kind == KitMenuEntry::Kind::button && entry.enabled);
        if (entry.kind == KitMenuEntry::Kind::button) {
            connect(action, &QAction::triggered, this, [this, id = entry.id] {
                if (onEntry_) {
                    onEntry_(id);
                }
            });
        }
    }
    menu_->popup(mapToGlobal(QPoint(0, height())));
}

void KitMenuButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    const QColor tint = tintOf(palette());
    const bool open = menu_ != nullptr && menu_->isVisible();
    paintButtonBackground(painter, rect(), props().style, props().size, tint, palette(), false, open);
    const QColor label = buttonLabelColor(props().style, tint, palette());

    const qreal x = controlMetrics(props().size).horizontalPadding;
    const qreal scale = chevronScale(*this);
    const qreal room = width() - 2 * x - (chevronGap + chevronWidth) * scale;
    const QFont font = width() < sizeHint().width() ? wrappedLabelFont(*this, props().size, props().title, room)
                                                    : labelFont(*this, props().size);
    const QFontMetricsF fm(font);
    const QStringList lines = buttonLabelLines(font, props().title, room);
    const qreal block = fm.height() + (static_cast<qreal>(lines.size()) - 1) * fm.lineSpacing();
    qreal lineBaseline = (height() - block) / 2 + fm.ascent();
    const qreal baseline = (height() - fm.height()) / 2 + fm.ascent(); // the chevrons sit mid-block
    painter.setFont(font);
    painter.setPen(label);
    for (const QString& line : lines) {
        painter.drawText(QPointF(x, lineBaseline), line);
        lineBaseline += fm.lineSpacing();
    }

    // Up and down chevrons, centred on the text's middle.
    const qreal half = chevronWidth * scale / 2;
    const qreal cx = width() - controlMetrics(props().size).horizontalPadding - half;
    const qreal cy = baseline - fm.capHeight() / 2;
    QPainterPath chevrons;
    chevrons.moveTo(cx - half, cy - 1.5 * scale);
    chevrons.lineTo(cx, cy - 5 * scale);
    chevrons.lineTo(cx + half, cy - 1.5 * scale);
    chevrons.moveTo(cx - half, cy + 1.5 * scale);
    chevrons.lineTo(cx, cy + 5 * scale);
    chevrons.lineTo(cx + half, cy + 1.5 * scale);
    QPen pen(label, 1.4 * scale);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(chevrons);
}

void KitMenuButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        openMenu();
    }
}

void KitMenuButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Down) && !event->isAutoRepeat()) {
        openMenu();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace corbel
