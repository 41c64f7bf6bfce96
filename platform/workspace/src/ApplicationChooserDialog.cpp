#include "platform/workspace/ApplicationChooserDialog.hpp"

#include <QDialog>
#include <QDialogButtonBox>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace platform {

ApplicationChooserDialog::ApplicationChooserDialog(
    std::vector<InstalledApplication> applications,
    const std::function<QIcon(const InstalledApplication&)>& icon)
    : applications_(std::move(applications)), dialog_(std::make_unique<QDialog>()) {
    dialog_->setWindowTitle(QStringLiteral("Choose Applications"));
    auto* layout = new QVBoxLayout(dialog_.get());
    auto* list = new QListWidget(dialog_.get());
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setIconSize(QSize(32, 32));
    for (std::size_t i = 0; i < applications_.size(); ++i) {
        auto* item = new QListWidgetItem(icon(applications_[i]), applications_[i].name, list);
        item->setData(Qt::UserRole, static_cast<qulonglong>(i));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog_.get());
    layout->addWidget(list);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog_.get(), &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog_.get(), &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, dialog_.get(), &QDialog::accept);
    QObject::connect(dialog_.get(), &QDialog::finished, dialog_.get(), [this, list](int result) {
        Answer reply;
        if (result == QDialog::Accepted) {
            reply.response = Response::ok;
            // In the list's order, not the order of clicking.
            for (int row = 0; row < list->count(); ++row) {
                if (list->item(row)->isSelected()) {
                    reply.chosen.push_back(applications_[list->item(row)->data(Qt::UserRole).toULongLong()]);
                }
            }
        }
        answer(std::move(reply));
    });
}

ApplicationChooserDialog::~ApplicationChooserDialog() {
    // A chooser that goes unanswered still answers, or its caller would wait for ever.
    QObject::disconnect(dialog_.get(), &QDialog::finished, nullptr, nullptr);
    answer(Answer{});
}

void ApplicationChooserDialog::begin(std::function<void(Answer)> completion) {
    completion_ = std::move(completion);
    dialog_->open();
}

void ApplicationChooserDialog::cancel() {
    if (completion_ && !answered_) {
        dialog_->reject(); // answers through finished
    }
}

void ApplicationChooserDialog::answer(Answer reply) {
    if (!completion_ || answered_) {
        return;
    }
    answered_ = true;
    dialog_->hide();
    auto completion = std::exchange(completion_, {});
    completion(std::move(reply));
}

} // namespace platform
