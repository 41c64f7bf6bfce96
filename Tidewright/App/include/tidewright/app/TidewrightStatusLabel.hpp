#pragma once
// What the tray icon shows of the app model: the display name, the operating indicator's symbol
// and the status word. It follows the model's decision and tells its owner when that changes what
// it shows. Only the label and the hosts read the model.

#include <QLocale>
#include <QString>

#include <functional>
#include <memory>

#include "corbel/ui/StringBundle.hpp"
#include "platform/observation/Subscription.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"
#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/views/TidewrightCopy.hpp"

namespace tidewright {

struct TidewrightStatusLabelProps {
    QString title;         // the display name
    QString symbol;        // a name of the kit's symbol table
    TidewrightCopy status; // the status word's key
    QString statusText;    // the status word in the label's locale

    bool operator==(const TidewrightStatusLabelProps&) const = default;
};

// Main thread only. Holds the model weakly: once the model is gone the label keeps its last props.
class TidewrightStatusLabel {
public:
    // REQUIRES: model is set; the bundle outlives the label.
    explicit TidewrightStatusLabel(const std::shared_ptr<TidewrightAppModel>& model, QLocale locale = QLocale(),
                                   const corbel::StringBundle& bundle = corbel::StringBundle::main());

    // What a decision shows: the symbol of its indicator, the status word of statusWord().
    static TidewrightStatusLabelProps props(const AppDecision& decision, const QLocale& locale,
                                            const corbel::StringBundle& bundle = corbel::StringBundle::main());

    const TidewrightStatusLabelProps& props() const noexcept { return props_; }

    // Called after a change of the model's decision changed the props.
    std::function<void(const TidewrightStatusLabelProps&)> onChange;

private:
    QLocale locale_;
    const corbel::StringBundle& bundle_;
    TidewrightStatusLabelProps props_;
    platform::Subscription subscription_;
};

} // namespace tidewright
