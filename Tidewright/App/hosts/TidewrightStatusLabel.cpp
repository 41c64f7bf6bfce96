#include "tidewright/app/TidewrightStatusLabel.hpp"

#include <utility>

#include "corbel/ui/KitLabels.hpp"
#include "tidewright/views/TidewrightPanel.hpp"

namespace tidewright {

TidewrightStatusLabel::TidewrightStatusLabel(const std::shared_ptr<TidewrightAppModel>& model, QLocale locale,
                                             const corbel::StringBundle& bundle)
    : locale_(std::move(locale)), bundle_(bundle), props_(props(model->decision(), locale_, bundle_)) {
    subscription_ = model->observeDecision([this](const AppDecision& decision) {
        TidewrightStatusLabelProps next = props(decision, locale_, bundle_);
        if (next == props_) {
            return;
        }
        props_ = std::move(next);
        if (onChange) {
            onChange(props_);
        }
    });
}

TidewrightStatusLabelProps TidewrightStatusLabel::props(const AppDecision& decision, const QLocale& locale,
                                                        const corbel::StringBundle& bundle) {
    const TidewrightCopy word = statusWord(decision);
    const std::string_view symbol = menuBarSymbol(decision.operatingIndicator());
    return TidewrightStatusLabelProps{
        // The display name is a key of the default table, shown as it is where it has no entry.
        .title = corbel::localizedString(QStringLiteral("Tidewright"), QString::fromLatin1(corbel::kitLabelTable.data(), static_cast<qsizetype>(corbel::kitLabelTable.size())),
                                         locale, bundle),
        .symbol = QString::fromLatin1(symbol.data(), static_cast<qsizetype>(symbol.size())),
        .status = word,
        .statusText = localizedCopy(word, locale, bundle),
    };
}

} // namespace tidewright
