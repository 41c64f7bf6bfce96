#pragma once
// The synced store of one installation, kept in a folder that the user syncs between machines:
// one file per key (KeyFileName.hpp, StoredValueFile.hpp) and an "account" file whose content's
// SHA-256 is the account's identity token. Other installations' changes are seen through inotify.
// The folder must be local: inotify does not see writes made on another machine of a network
// file system.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/cloud/CloudIdentity.hpp"
#include "platform/cloud/KeyValueStore.hpp"
#include "platform/concurrency/Executor.hpp"

class QSocketNotifier;

namespace platform {

// Every store made by one folder object is this installation: a change that one of them writes is
// never reported to any of them. A change found in a file is reported when the file's value
// differs from the one in memory, whoever wrote it, so a write of our own that another
// installation overwrote is reported and our own write is not, however late inotify tells us.
//
// Limits, checked against the whole folder when a value is written: at most maximumKeys keys, at
// most maximumBytes for the whole store as an XML property list (PropertyListSize.hpp; a single
// value can never measure more than the store holding it), keys of 1 to maximumKeyBytes bytes of
// well-formed UTF-8.
//
// Main thread only. Notices are posted to the executor and so arrive on a later turn, never
// inside the call that caused them; the order is the identity notice, then each store's account
// change (reason 3), then changes of values (reason 0).
class CloudFolder final : public CloudIdentity, public std::enable_shared_from_this<CloudFolder> {
public:
    static constexpr std::size_t maximumKeys = 1024;
    static constexpr std::size_t maximumBytes = 1048576;
    static constexpr std::size_t maximumKeyBytes = 128;
    static constexpr std::string_view accountFileName = "account";

    enum class Watching {
        // inotify is read whenever the Qt event loop sees it ready: the live folder.
        onEventLoop,
        // Only processPendingEvents() and writes read inotify: for tests that turn the loop by hand.
        manually,
    };

    // Creates the folder when it is missing, reads every key file and the account file, and starts
    // watching. Nothing is reported for what the folder holds at this point.
    // REQUIRES: executor is the main executor (or a test's) and outlives the folder; with
    // Watching::onEventLoop, a QCoreApplication on this thread.
    static std::shared_ptr<CloudFolder> open(std::filesystem::path root, Executor& executor,
                                             Watching watching = Watching::onEventLoop);
    ~CloudFolder() override;
    CloudFolder(const CloudFolder&) = delete;
    CloudFolder& operator=(const CloudFolder&) = delete;

    // A store object over this folder, with observers of its own. It keeps the folder alive.
    std::shared_ptr<KeyValueStore> makeStore();

    std::optional<CloudIdentityToken> identityToken() const override;
    Subscription observeIdentityChanges(std::function<void()> observer) override;

    // Reads what inotify has queued so far and posts the notices for it.
    void processPendingEvents();

    const std::filesystem::path& root() const;

    struct Private;

private:
    CloudFolder(std::filesystem::path root, Executor& executor);

    std::unique_ptr<Private> d_;
};

} // namespace platform
