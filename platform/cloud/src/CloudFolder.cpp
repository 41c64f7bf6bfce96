#include "platform/cloud/CloudFolder.hpp"

#include <QByteArrayView>
#include <QCryptographicHash>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QString>

#include <fcntl.h>
#include <limits.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "platform/cloud/KeyFileName.hpp"
#include "platform/cloud/PropertyListSize.hpp"
#include "platform/cloud/StoredValueFile.hpp"

namespace platform {

namespace {

Q_LOGGING_CATEGORY(cloudLog, "app.corbelthane.tidewright.cloud")

// A key file larger than this reads as its first bytes: it is over every limit and unreadable as
// a value either way, and a stray huge file must not exhaust memory.
constexpr std::size_t maximumFileBytes = 16 * 1024 * 1024;
constexpr std::size_t maximumAccountBytes = 64 * 1024;

// The file's bytes; none when it does not exist or is not a regular file that can be read.
std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t cap) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < cap) {
        const ssize_t count = ::read(fd, buffer, std::min(sizeof buffer, cap - bytes.size()));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    return bytes;
}

std::optional<CloudIdentityToken> readAccount(const std::filesystem::path& root) {
    auto content = readFile(root / std::string(CloudFolder::accountFileName), maximumAccountBytes);
    if (!content) {
        return std::nullopt;
    }
    // A token typed by hand may end in a line break; it is the same token.
    while (!content->empty() && std::strchr(" \t\r\n", content->back()) != nullptr) {
        content->pop_back();
    }
    if (content->empty()) {
        return std::nullopt;
    }
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(content->data(), static_cast<qsizetype>(content->size())), QCryptographicHash::Sha256);
    std::array<std::uint8_t, 32> bytes{};
    std::memcpy(bytes.data(), digest.constData(), bytes.size());
    return CloudIdentityToken(bytes);
}

} // namespace

struct CloudFolder::Private {
    std::filesystem::path root;
    Executor& executor;
    std::map<std::string, PropertyValue, std::less<>> values;
    std::optional<CloudIdentityToken> token;
    int inotify = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    ObserverList<> identityObservers;
    ObserverList<KeyValueStoreChange> storeObservers;

    std::weak_ptr<CloudFolder> self;

    Private(std::filesystem::path folder, Executor& loop) : root(std::move(folder)), executor(loop) {}

    void postToStores(KeyValueStoreChange notice) {
        executor.post([weak = self, notice = std::move(notice)] {
            if (const auto folder = weak.lock()) {
                folder->d_->storeObservers.notify(notice);
            }
        });
    }

    void postIdentityChange() {
        executor.post([weak = self] {
            if (const auto folder = weak.lock()) {
                folder->d_->identityObservers.notify();
            }
        });
    }

    // Reads one key's file into memory; answers whether the value changed.
    bool refreshKey(const std::string& key) {
        const auto bytes = readFile(root / keyFileName(key), maximumFileBytes);
        const auto found = values.find(key);
        if (!bytes) {
            if (found == values.end()) {
                return false;
            }
            values.erase(found);
            return true;
        }
        DecodedStoredValue decoded = decodeStoredValue(*bytes);
        if (!decoded.intact) {
            qCWarning(cloudLog, "key file %s is not intact: reading its raw bytes", keyFileName(key).c_str());
        }
        if (found != values.end() && found->second == decoded.value) {
            return false;
        }
        values.insert_or_assign(key, std::move(decoded.value));
        return true;
    }

    std::set<std::string> keysInFolder() const {
        std::set<std::string> keys;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
            if (auto key = keyForFileName(entry.path().filename().string())) {
                keys.insert(std::move(*key));
            }
        }
        return keys;
    }
};

std::shared_ptr<CloudFolder> CloudFolder::open(std::filesystem::path root, Executor& executor,
                                               Watching watching) {
    std::shared_ptr<CloudFolder> folder(new CloudFolder(std::move(root), executor));
    auto& d = *folder->d_;
    d.self = folder;
    std::error_code error;
    std::filesystem::create_directories(d.root, error);
    d.inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (d.inotify < 0 || inotify_add_watch(d.inotify, d.root.c_str(),
                                           IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM |
                                               IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR) < 0) {
        qCWarning(cloudLog, "cannot watch the synced folder %s: %s", d.root.c_str(), std::strerror(errno));
        if (d.inotify >= 0) {
            ::close(d.inotify);
            d.inotify = -1;
        }
    }
    // Watching first and reading second: a change made in between is read twice, never missed.
    for (const auto& key : d.keysInFolder()) {
        d.refreshKey(key);
    }
    d.token = readAccount(d.root);
    if (d.inotify >= 0 && watching == Watching::onEventLoop) {
        d.notifier = std::make_unique<QSocketNotifier>(d.inotify, QSocketNotifier::Read);
        QObject::connect(d.notifier.get(), &QSocketNotifier::activated, d.notifier.get(),
                         [weak = std::weak_ptr<CloudFolder>(folder)] {
                             if (const auto self = weak.lock()) {
                                 self->processPendingEvents();
                             }
                         });
    }
    return folder;
}

CloudFolder::CloudFolder(std::filesystem::path root, Executor& executor)
    : d_(std::make_unique<Private>(std::move(root), executor)) {}

CloudFolder::~CloudFolder() {
    d_->notifier.reset();
    if (d_->inotify >= 0) {
        ::close(d_->inotify);
    }
}

std::optional<CloudIdentityToken> CloudFolder::identityToken() const {
    return d_->token;
}

Subscription CloudFolder::observeIdentityChanges(std::function<void()> observer) {
    return d_->identityObservers.add(std::move(observer));
}

const std::filesystem::path& CloudFolder::root() const {
    return d_->root;
}

void CloudFolder::processPendingEvents() {
    auto& d = *d_;
    if (d.inotify < 0) {
        return;
    }
    bool rescan = false;
    std::set<std::string> names;
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    for (;;) {
        const ssize_t length = ::read(d.inotify, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            break;
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if ((event->mask & IN_Q_OVERFLOW) != 0) {
                rescan = true;
            }
            if ((event->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0) {
                qCWarning(cloudLog, "the synced folder %s went away: no further changes are seen",
                          d.root.c_str());
                rescan = true;
            }
            if (event->len > 0) {
                names.insert(std::string(event->name));
            }
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }

    std::set<std::string> changed;
    bool accountTouched = rescan;
    if (rescan) {
        auto keys = d.keysInFolder();
        for (const auto& [key, value] : d.values) {
            keys.insert(key);
        }
        for (const auto& key : keys) {
            if (d.refreshKey(key)) {
                changed.insert(key);
            }
        }
    } else {
        for (const auto& name : names) {
            if (name == accountFileName) {
                accountTouched = true;
            } else if (auto key = keyForFileName(name); key && d.refreshKey(*key)) {
                changed.insert(std::move(*key));
            }
        }
    }

    if (accountTouched) {
        auto token = readAccount(d.root);
        if (token != d.token) {
            d.token = std::move(token);
            d.postIdentityChange();
            d.postToStores(makeKeyValueStoreChange(KeyValueStoreChangeReason::accountChange, {}));
        }
    }
    if (!changed.empty()) {
        d.postToStores(makeKeyValueStoreChange(KeyValueStoreChangeReason::serverChange,
                                               {changed.begin(), changed.end()}));
    }
}

namespace {

class CloudFolderStore final : public KeyValueStore {
public:
    CloudFolderStore(std::shared_ptr<CloudFolder> folder, CloudFolder::Private& d)
        : folder_(std::move(folder)), d_(d) {}

    std::optional<PropertyValue> object(std::string_view key) const override {
        const auto found = d_.values.find(key);
        if (found == d_.values.end()) {
            return std::nullopt;
        }
        return found->second;
    }

    void set(std::string_view key, PropertyValue value) override {
        // What other installations wrote meanwhile counts against the limits.
        folder_->processPendingEvents();
        if (!accepts(key, value)) {
            qCWarning(cloudLog, "refused a write over the synced store's limits");
            refuse(key);
            return;
        }
        const auto bytes = encodeStoredValue(value);
        const auto path = d_.root / keyFileName(key);
        QSaveFile output(QString::fromStdString(path.string()));
        if (!bytes || !output.open(QIODevice::WriteOnly) ||
            !output.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            output.write(bytes->data(), static_cast<qint64>(bytes->size())) !=
                static_cast<qint64>(bytes->size()) ||
            !output.commit()) {
            qCWarning(cloudLog, "cannot write %s: %s", path.c_str(), qPrintable(output.errorString()));
            return;
        }
        d_.values.insert_or_assign(std::string(key), std::move(value));
    }

    void remove(std::string_view key) override {
        folder_->processPendingEvents();
        if (!validKey(key)) {
            return;
        }
        const auto path = d_.root / keyFileName(key);
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            qCWarning(cloudLog, "cannot remove %s: %s", path.c_str(), std::strerror(errno));
            return;
        }
        if (const auto found = d_.values.find(key); found != d_.values.end()) {
            d_.values.erase(found);
        }
    }

    PropertyValue::Dictionary dictionaryRepresentation() const override {
        return PropertyValue::Dictionary(d_.values.begin(), d_.values.end());
    }

    bool synchronize() override {
        folder_->processPendingEvents();
        return d_.inotify >= 0;
    }

    Subscription
    observeExternalChanges(std::function<void(const KeyValueStoreChange&)> observer) override {
        return observers_.add(std::move(observer));
    }

    void link(const std::shared_ptr<CloudFolderStore>& self) {
        link_ = d_.storeObservers.add(
            [weak = std::weak_ptr<CloudFolderStore>(self)](const KeyValueStoreChange& change) {
                if (const auto store = weak.lock()) {
                    store->observers_.notify(change);
                }
            });
    }

private:
    static bool validKey(std::string_view key) {
        return !key.empty() && key.size() <= CloudFolder::maximumKeyBytes && isWellFormedUtf8(key) &&
               keyFileName(key).size() <= NAME_MAX;
    }

    bool accepts(std::string_view key, const PropertyValue& value) const {
        if (!validKey(key) || !value.isStorable()) {
            return false;
        }
        const bool added = d_.values.find(key) == d_.values.end();
        const std::size_t count = d_.values.size() + (added ? 1 : 0);
        if (count > CloudFolder::maximumKeys) {
            return false;
        }
        auto bytes = xmlPropertyListEntrySize(std::string(key), value);
        if (!bytes) {
            return false;
        }
        std::size_t entryBytes = *bytes;
        for (const auto& [other, otherValue] : d_.values) {
            if (other == key) {
                continue;
            }
            const auto size = xmlPropertyListEntrySize(other, otherValue);
            if (!size) {
                return false; // a store that cannot be measured counts as full
            }
            entryBytes += *size;
            if (entryBytes > CloudFolder::maximumBytes) {
                return false;
            }
        }
        return xmlPropertyListDictionarySize(count, entryBytes) <= CloudFolder::maximumBytes;
    }

    // A refused write is reported on a later turn, to every store of this installation.
    void refuse(std::string_view key) {
        d_.postToStores(
            makeKeyValueStoreChange(KeyValueStoreChangeReason::quotaViolationChange, {std::string(key)}));
    }

    std::shared_ptr<CloudFolder> folder_;
    CloudFolder::Private& d_;
    ObserverList<KeyValueStoreChange> observers_;
    Subscription link_;
};

} // namespace

std::shared_ptr<KeyValueStore> CloudFolder::makeStore() {
    auto store = std::make_shared<CloudFolderStore>(shared_from_this(), *d_);
    store->link(store);
    return store;
}

} // namespace platform
