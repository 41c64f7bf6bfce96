#pragma once
// An update notifier that offers version "1.1" on the maker's download page without any network,
// so that the update card can be shown in snapshots. Main thread only.

#include "corbel/updates/UpdateNotifier.hpp"
#include "platform/observation/Observable.hpp"

namespace corbel {

class SampleUpdateNotifier final : public UpdateNotifier {
public:
    SampleUpdateNotifier();

    const std::optional<AvailableUpdate>& available() const override { return available_.value(); }
    platform::Subscription observeAvailable(AvailableSubscriber subscriber) override {
        return available_.subscribe(std::move(subscriber));
    }
    void checkIfDue() override {}
    // The offer goes and never comes back.
    void setAside() override { available_.set(std::nullopt); }

    // Notifies only when the offer differs from the stored one.
    void setAvailable(std::optional<AvailableUpdate> update) { available_.set(std::move(update)); }

    // The maker's download page the sample offers.
    static QUrl downloadPage();

private:
    platform::Observable<std::optional<AvailableUpdate>> available_;
};

} // namespace corbel
