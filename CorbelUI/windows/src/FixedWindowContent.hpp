#pragma once
// The root widget of a fixed-size window around its hosted content. Without scrolling the content
// sits at the window's width, aligned to the top, and reports its own size through the kit
// environment. With scrolling it sits in a vertical scroll area at its ideal size, which is measured
// and reported here; a bar band shows under the title while the content is scrolled.

#include <QSizeF>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QScrollArea;

namespace corbel {

class FixedWindowContent final : public QWidget {
public:
    using Resize = std::function<void(QSizeF)>;

    FixedWindowContent(std::unique_ptr<QWidget> content, double initialWidth, bool scrolls, Resize resize);
    ~FixedWindowContent() override;

    // Takes the first measurement; called once the window holds this root.
    void start();

    std::optional<double> measuredWidth() const noexcept { return measuredWidth_; }
    bool isScrolled() const noexcept { return isScrolled_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void measure();
    void updateScrolled();

    QWidget* content_;
    double initialWidth_;
    bool scrolls_;
    Resize resize_;
    QScrollArea* scrollArea_ = nullptr;
    QWidget* band_ = nullptr;
    std::optional<double> measuredWidth_;
    bool isScrolled_ = false;
};

} // namespace corbel
