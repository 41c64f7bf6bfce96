#pragma once
// The ready-made preferences row for opening at login: a switch row titled "Open at Login" that
// shows LoginItem::shared() and asks it to change. The switch follows the state read back, so a
// refused change leaves it where it was. Main thread only.

#include "corbel/ui/KitAccessibility.hpp"

#include "corbel/ui/LoginItem.hpp"

#include <QWidget>

#include <optional>

namespace corbel {

class PreferencesToggleRow;

class PreferencesLoginRow : public QWidget, public KitAccessibleView {
public:
    explicit PreferencesLoginRow(QWidget* parent = nullptr);
    ~PreferencesLoginRow() override;

    PreferencesToggleRow& row() const noexcept { return *row_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();

    std::optional<LoginItem::Binding> login_;
    PreferencesToggleRow* row_;
};

} // namespace corbel
