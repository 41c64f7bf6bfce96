#include "FixedWindowContent.hpp"

#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"

#include <QEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

namespace corbel {

namespace {

constexpr int bandHeight = 28;

// The band under a transparent title bar once the content is scrolled: a bar fill with a separator
// along its bottom edge. It takes no mouse input and is not an accessible element.
class ScrolledBand final : public QWidget {
public:
    explicit ScrolledBand(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedHeight(bandHeight);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const ColorScheme scheme = schemeOf(palette());
        QPainter painter(this);
        painter.fillRect(rect(), systemColor(SystemColor::barMaterial, scheme));
        painter.fillRect(QRect(0, height() - 1, width(), 1), systemColor(SystemColor::separator, scheme));
    }
};

} // namespace

FixedWindowContent::FixedWindowContent(std::unique_ptr<QWidget> content, double initialWidth, bool scrolls,
                                       Resize resize)
    : content_(content ? content.release() : new QWidget), initialWidth_(initialWidth), scrolls_(scrolls),
      resize_(std::move(resize)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!scrolls_) {
        // Self-sizing content reports its size through the environment; other content keeps the
        // window's first height.
        KitEnvironment::of(*this).setFixedWindowSize(FixedWindowSizeReport{resize_});
        content_->setParent(this);
        content_->setFixedWidth(qRound(initialWidth_));
        layout->addWidget(content_, 0, Qt::AlignTop | Qt::AlignHCenter);
        return;
    }
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrollArea_->setWidgetResizable(false);
    scrollArea_->setWidget(content_);
    layout->addWidget(scrollArea_);
    // The content's own layout asks itself for a new layout; a content without one asks its parent,
    // the viewport.
    content_->installEventFilter(this);
    scrollArea_->viewport()->installEventFilter(this);
    QObject::connect(scrollArea_->verticalScrollBar(), &QScrollBar::valueChanged, this,
                     [this] { updateScrolled(); });
    band_ = new ScrolledBand(this);
    band_->setAccessibleName(QString());
}

FixedWindowContent::~FixedWindowContent() = default;

void FixedWindowContent::start() {
    if (scrolls_) {
        measure();
    }
}

bool FixedWindowContent::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LayoutRequest &&
        (watched == content_ || (scrollArea_ != nullptr && watched == scrollArea_->viewport()))) {
        measure();
    }
    return QWidget::eventFilter(watched, event);
}

void FixedWindowContent::measure() {
    // The content's ideal size in both directions; a height that depends on the width is asked for
    // at the ideal width.
    QSize ideal = content_->sizeHint().expandedTo(content_->minimumSizeHint());
    if (content_->hasHeightForWidth()) {
        ideal.setHeight(content_->heightForWidth(ideal.width()));
    }
    if (ideal.width() <= 0 || ideal.height() <= 0) {
        return;
    }
    content_->resize(ideal);
    measuredWidth_ = ideal.width();
    if (resize_) {
        resize_(QSizeF(ideal));
    }
}

void FixedWindowContent::updateScrolled() {
    const bool scrolled = scrollArea_->verticalScrollBar()->value() > 1;
    if (scrolled == isScrolled_) {
        return;
    }
    isScrolled_ = scrolled;
    band_->setVisible(scrolled);
    band_->raise();
}

void FixedWindowContent::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (band_ != nullptr) {
        band_->setGeometry(0, 0, width(), bandHeight);
    }
}

} // namespace corbel
