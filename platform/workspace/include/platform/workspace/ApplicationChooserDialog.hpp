#pragma once
// The chooser as a dialog: the installed applications with name and icon, several of them
// selectable at once, OK and Cancel.

#include <functional>
#include <memory>
#include <vector>

#include "platform/workspace/ApplicationChooser.hpp"

class QDialog;
class QIcon;

namespace platform {

class ApplicationChooserDialog final : public ApplicationChooser {
public:
    // applications in the order to show. REQUIRES: a QApplication exists; main thread.
    ApplicationChooserDialog(std::vector<InstalledApplication> applications,
                             const std::function<QIcon(const InstalledApplication&)>& icon);
    ~ApplicationChooserDialog() override;

    void begin(std::function<void(Answer)> completion) override;
    void cancel() override;

    // The dialog, for tests that answer it as a user would.
    QDialog* dialog() const { return dialog_.get(); }

private:
    void answer(Answer answer);

    std::vector<InstalledApplication> applications_;
    std::unique_ptr<QDialog> dialog_;
    std::function<void(Answer)> completion_;
    bool answered_ = false;
};

} // namespace platform
