#include "corbel/ui/WindowKinds.hpp"

#include <QCoreApplication>
#include <QVBoxLayout>

#include <stdexcept>
#include <utility>

namespace corbel {

namespace {

const QString ownerName = QStringLiteral("corbel.KitWindows");

constexpr double preferencesWidthWithPanes = 768;
constexpr double narrowWidth = 560;

constexpr FixedWindow::Flags preferencesFlags{
    .closesWithCommandW = true, .anchorsTop = true, .scrollsContent = true};
constexpr FixedWindow::Flags welcomeStepsFlags{
    .closesWithCommandW = true, .anchorsTop = true, .scrollsContent = false};

} // namespace

KitWindows& KitWindows::install(FixedWindowServices services) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) {
        throw std::logic_error("the kit's windows need an application");
    }
    if (!services.executor || !services.screens || !services.pointer) {
        throw std::invalid_argument("the kit's windows need an executor, the screens and the pointer");
    }
    reset();
    auto* owner = new KitWindows(std::move(services));
    owner->setParent(application);
    owner->setObjectName(ownerName);
    // Windows must go while the application still runs: a widget deleted after it is a crash.
    QObject::connect(application, &QCoreApplication::aboutToQuit, owner, [owner] { delete owner; });
    return *owner;
}

void KitWindows::reset() {
    delete current();
}

KitWindows* KitWindows::current() {
    QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr ? application->findChild<KitWindows*>(ownerName, Qt::FindDirectChildrenOnly)
                                  : nullptr;
}

KitWindows& KitWindows::require() {
    KitWindows* owner = current();
    if (owner == nullptr) {
        throw std::logic_error("the kit's windows are used before their services were installed");
    }
    return *owner;
}

KitWindows::KitWindows(FixedWindowServices services) : services_(std::move(services)) {}

KitWindows::~KitWindows() = default;

FixedWindow& KitWindows::preferences() {
    if (!preferences_) {
        preferences_ = FixedWindow::make(preferencesFlags, services_);
    }
    return *preferences_;
}

FixedWindow& KitWindows::welcomeSteps() {
    if (!welcomeSteps_) {
        welcomeSteps_ = FixedWindow::make(welcomeStepsFlags, services_);
    }
    return *welcomeSteps_;
}

FixedNativeWindow& PreferencesWindow::show(const QString& title, bool hasPanes, std::function<void()> onClose,
                                           const ContentBuilder& content) {
    return KitWindows::require().preferences().show(title, hasPanes ? preferencesWidthWithPanes : narrowWidth,
                                                    std::move(onClose), content);
}

FixedNativeWindow& PreferencesWindow::prepare(const QString& title, bool hasPanes,
                                              std::function<void()> onClose, const ContentBuilder& content) {
    return KitWindows::require().preferences().prepare(
        title, hasPanes ? preferencesWidthWithPanes : narrowWidth, std::move(onClose), content);
}

void PreferencesWindow::close() {
    if (KitWindows* owner = KitWindows::current(); owner != nullptr && owner->preferences_) {
        if (FixedNativeWindow* window = owner->preferences_->window()) {
            window->close();
        }
    }
}

FixedNativeWindow& WelcomeStepsWindow::show(const QString& title, std::function<void()> onClose,
                                            const ContentBuilder& content) {
    return KitWindows::require().welcomeSteps().show(title, narrowWidth, std::move(onClose), content);
}

FixedNativeWindow& WelcomeStepsWindow::prepare(const QString& title, std::function<void()> onClose,
                                               const ContentBuilder& content) {
    return KitWindows::require().welcomeSteps().prepare(title, narrowWidth, std::move(onClose), content);
}

void WelcomeStepsWindow::close() {
    if (KitWindows* owner = KitWindows::current(); owner != nullptr && owner->welcomeSteps_) {
        if (FixedNativeWindow* window = owner->welcomeSteps_->window()) {
            window->close();
        }
    }
}

QWidget& WelcomeWindow::show(const QString& title, const ContentBuilder& content) {
    KitWindows& owner = KitWindows::require();
    if (!owner.welcome_) {
        auto window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::CustomizeWindowHint |
                                                             Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        auto* layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        if (content) {
            layout->addWidget(content().release());
        }
        window->setWindowTitle(title);
        // The window takes its content's size and keeps it.
        window->setFixedSize(window->sizeHint().expandedTo(QSize(1, 1)));
        owner.welcome_ = std::move(window);
    }
    QWidget& window = *owner.welcome_;
    if (!window.isVisible()) {
        centerOnMouseScreen(window, *owner.services_.screens, *owner.services_.pointer);
    }
    window.show();
    window.raise();
    window.activateWindow();
    return window;
}

void WelcomeWindow::close() {
    if (KitWindows* owner = KitWindows::current(); owner != nullptr && owner->welcome_) {
        owner->welcome_->close();
    }
}

} // namespace corbel
