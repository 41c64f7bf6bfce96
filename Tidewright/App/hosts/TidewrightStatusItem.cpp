#include "tidewright/app/TidewrightStatusItem.hpp"

#include <QAccessible>
#include <QAccessibleObject>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QLoggingCategory>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/Symbols.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"
#include "tidewright/app/TidewrightPanelHost.hpp"

namespace tidewright {
namespace {

Q_LOGGING_CATEGORY(trayLog, "app.corbelthane.tidewright.tray")

// The sizes trays ask for, XEmbed's and StatusNotifierItem hosts' alike.
constexpr int iconSizes[] = {16, 22, 24, 32, 48, 64};
// Between the icon and the panel.
constexpr int panelGap = 4;

corbel::ColorScheme applicationScheme() {
    return corbel::schemeOf(QApplication::palette());
}

// Qt's own window for an icon embedded in an XEmbed tray; StatusNotifierItem hosts draw theirs.
bool isEmbeddedTrayIcon(const QObject& object) {
    return object.isWidgetType() && object.inherits("QSystemTrayIconSys");
}

const QString panelWindowName = QStringLiteral("TidewrightPanelWindow");

// The panel windows shown now.
QObjectList shownPanels() {
    QObjectList panels;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->objectName() == panelWindowName) {
            panels.append(widget);
        }
    }
    return panels;
}

// Qt leaves popup windows out of the application's accessible children, which would hide the
// whole panel from assistive technology; the application's children here add the shown panel.
class ApplicationWithPanel final : public QAccessibleApplication {
public:
    int childCount() const override {
        return QAccessibleApplication::childCount() + static_cast<int>(shownPanels().size());
    }
    QAccessibleInterface* child(int index) const override {
        const int own = QAccessibleApplication::childCount();
        if (index < own) {
            return QAccessibleApplication::child(index);
        }
        const QObjectList panels = shownPanels();
        return index - own < panels.size() ? QAccessible::queryAccessibleInterface(panels.at(index - own))
                                           : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const int own = QAccessibleApplication::indexOfChild(child);
        if (own >= 0 || child == nullptr) {
            return own;
        }
        const int panel = static_cast<int>(shownPanels().indexOf(child->object()));
        return panel >= 0 ? QAccessibleApplication::childCount() + panel : -1;
    }
};

QAccessibleInterface* applicationWithPanel(const QString& className, QObject* object) {
    if (object != nullptr && object == qApp && className == QLatin1String("QApplication")) {
        return new ApplicationWithPanel;
    }
    return nullptr;
}

} // namespace

void TidewrightStatusItem::exposePanelToAssistiveTechnology() {
    QAccessible::installFactory(applicationWithPanel);
}

TidewrightStatusItem::TidewrightStatusItem(const std::shared_ptr<TidewrightAppModel>& model,
                                           corbel::UpdateNotifier* updateNotifier, QObject* parent)
    : QObject(parent), model_(model), updateNotifier_(updateNotifier), label_(model),
      tray_(new QSystemTrayIcon(this)) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qCInfo(trayLog, "no system tray: the status item shows once a tray appears; the hot keys work without it");
    }
    label_.onChange = [this](const TidewrightStatusLabelProps&) { refresh(); };
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Unknown) {
            showPanel();
        }
    });
    // The scheme of the icon follows the application's palette; the embedded icon's window is
    // Qt's, made when a tray takes the icon.
    qApp->installEventFilter(this);
    refresh();
    tray_->show();
}

TidewrightStatusItem::~TidewrightStatusItem() {
    qApp->removeEventFilter(this);
    delete popup_;
}

void TidewrightStatusItem::refresh() {
    const TidewrightStatusLabelProps& p = label_.props();
    tray_->setIcon(statusIcon(p.symbol, applicationScheme()));
    tray_->setToolTip(p.title.toHtmlEscaped());
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (isEmbeddedTrayIcon(*widget)) {
            describeEmbeddedIcon(*widget);
        }
    }
}

void TidewrightStatusItem::describeEmbeddedIcon(QWidget& icon) const {
    // Trays carry no value of their own; the embedded icon's window is ours, and tools read it.
    icon.setAccessibleName(label_.props().title);
    icon.setAccessibleDescription(label_.props().statusText);
}

bool TidewrightStatusItem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange && watched == qApp) {
        refresh();
    } else if (event->type() == QEvent::Show && isEmbeddedTrayIcon(*watched)) {
        describeEmbeddedIcon(static_cast<QWidget&>(*watched));
    }
    return QObject::eventFilter(watched, event);
}

void TidewrightStatusItem::showPanel() {
    const auto model = model_.lock();
    if (!model) {
        return;
    }
    if (popup_ == nullptr) {
        // A popup: Qt closes it on a click elsewhere (without passing that click on, so a click on
        // the icon only closes it) and on Escape.
        popup_ = new QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint);
        popup_->setAttribute(Qt::WA_NoMouseReplay);
        popup_->setObjectName(panelWindowName);
        popup_->setWindowTitle(label_.props().title);
        auto* layout = new QVBoxLayout(popup_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        host_ = new TidewrightPanelHost(model, [this] { closePanel(); }, updateNotifier_, popup_);
        layout->addWidget(host_);
    }
    if (popup_->isVisible()) {
        popup_->raise();
        popup_->activateWindow();
        return;
    }
    popup_->adjustSize();
    const QRect icon = tray_->geometry();
    const QPoint pointer = QCursor::pos();
    const QPoint anchor = icon.isEmpty() ? pointer : icon.center();
    QScreen* screen = QGuiApplication::screenAt(anchor);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(anchor, popup_->size());
    popup_->move(panelOrigin(icon, pointer, popup_->size(), available));
    popup_->show();
}

void TidewrightStatusItem::closePanel() {
    if (popup_ != nullptr) {
        popup_->close();
    }
}

QIcon TidewrightStatusItem::statusIcon(const QString& symbol, corbel::ColorScheme scheme) {
    const QColor color = corbel::systemColor(corbel::SystemColor::label, scheme);
    QIcon icon;
    for (const int size : iconSizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        // A pixel of air on each side at the small sizes, as tray icons keep.
        const qreal inset = size / 16.0;
        corbel::drawSymbol(painter, QRectF(inset, inset, size - 2 * inset, size - 2 * inset), symbol, color,
                           corbel::SymbolWeight::semibold);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPoint TidewrightStatusItem::panelOrigin(const QRect& icon, const QPoint& pointer, const QSize& panel,
                                         const QRect& available) {
    const QRect anchor = icon.isEmpty() ? QRect(pointer, QSize(1, 1)) : icon;
    // QRect::center() rounds down a pixel for even sizes; the panel centres on the true middle.
    int x = anchor.x() + anchor.width() / 2 - panel.width() / 2;
    const bool above = anchor.y() + anchor.height() / 2 > available.y() + available.height() / 2;
    int y = above ? anchor.top() - panelGap - panel.height() : anchor.bottom() + 1 + panelGap;
    // Kept on the screen; a panel larger than the area keeps its top-left corner in view.
    x = std::max(available.left(), std::min(x, available.right() + 1 - panel.width()));
    y = std::max(available.top(), std::min(y, available.bottom() + 1 - panel.height()));
    return {x, y};
}

} // namespace tidewright
