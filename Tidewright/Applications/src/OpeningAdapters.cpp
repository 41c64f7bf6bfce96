#include "tidewright/applications/OpeningAdapters.hpp"

#include <cmath>
#include <unordered_set>

namespace tidewright {

namespace {

const platform::WindowInfoValue* find(const platform::WindowInfo& info, const char* key) {
    auto it = info.find(key);
    return it == info.end() ? nullptr : &it->second;
}

std::optional<double> numberAt(const platform::WindowInfo& info, const char* key) {
    const platform::WindowInfoValue* value = find(info, key);
    if (value == nullptr)
        return std::nullopt;
    if (const auto* number = std::get_if<platform::WindowInfoNumber>(&value->value))
        return number->value;
    return std::nullopt;
}

bool integral(double value) {
    return std::isfinite(value) && std::trunc(value) == value;
}

std::optional<std::int32_t> int32Within(std::optional<double> value) {
    if (!value || !integral(*value) || !(*value > -2147483649.0 && *value < 2147483648.0))
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<DesktopFrame> frameOf(const platform::WindowInfo& info) {
    const platform::WindowInfoValue* value = find(info, platform::windowBoundsKey);
    if (value == nullptr)
        return std::nullopt;
    const auto* bounds = std::get_if<std::shared_ptr<const platform::WindowInfo>>(&value->value);
    if (bounds == nullptr || !*bounds)
        return std::nullopt;
    auto x = numberAt(**bounds, "X");
    auto y = numberAt(**bounds, "Y");
    auto width = numberAt(**bounds, "Width");
    auto height = numberAt(**bounds, "Height");
    if (!x || !y || !width || !height)
        return std::nullopt;
    // A rectangle's width and height are those of its standardised form.
    const double w = std::fabs(*width);
    const double h = std::fabs(*height);
    if (!std::isfinite(*x) || !std::isfinite(*y) || !std::isfinite(w) || !std::isfinite(h))
        return std::nullopt;
    try {
        return DesktopFrame(DesktopPoint{Points(*x), Points(*y)}, WindowSize(Points(w), Points(h)));
    } catch (const GeometryError&) {
        return std::nullopt;
    }
}

} // namespace

OpeningInventoryResult parseOpeningInventory(const std::optional<platform::WindowInfoList>& list,
                                             const std::set<std::int32_t>& requested) {
    if (!list)
        return OpeningInventoryResult::unavailable();
    std::vector<OpeningInventoryEntry> entries;
    std::unordered_set<std::uint64_t> seen;
    for (const platform::WindowInfo& info : *list) {
        const std::optional<std::int32_t> pid = int32Within(numberAt(info, platform::windowOwnerPIDKey));
        if (!pid || *pid < 1)
            return OpeningInventoryResult::unavailable();
        if (!requested.contains(*pid))
            continue;

        const std::optional<double> number = numberAt(info, platform::windowNumberKey);
        if (!number || !integral(*number) || !(*number > -1.0 && *number < 4294967296.0) || *number == 0)
            return OpeningInventoryResult::unavailable();
        const std::optional<std::int32_t> layer = int32Within(numberAt(info, platform::windowLayerKey));
        if (!layer)
            return OpeningInventoryResult::unavailable();
        const auto token = static_cast<std::uint64_t>(*number);
        if (!seen.insert(token).second)
            return OpeningInventoryResult::unavailable();

        const std::optional<DesktopFrame> frame = frameOf(info);
        std::optional<bool> onscreen = false;
        if (const platform::WindowInfoValue* value = find(info, platform::windowIsOnscreenKey)) {
            const bool* flag = std::get_if<bool>(&value->value);
            onscreen = flag != nullptr ? std::optional<bool>(*flag) : std::nullopt;
        }
        if (*layer == 0 && (!frame || !onscreen))
            return OpeningInventoryResult::unavailable();
        entries.push_back(OpeningInventoryEntry{token, *pid, *layer, frame, onscreen.value_or(false)});
    }
    return OpeningInventoryResult::available(std::move(entries), requested);
}

std::optional<std::vector<OpeningObservedWindow>>
OpeningInventoryResult::observedWindows(const ProcessID& process) const {
    if (!available_ || available_->requestedPIDs.empty() || !available_->requestedPIDs.contains(process.pid))
        return std::nullopt;
    std::vector<OpeningObservedWindow> windows;
    for (const OpeningInventoryEntry& entry : available_->entries) {
        if (entry.pid == process.pid)
            windows.push_back(OpeningObservedWindow{WindowID{process, entry.token}, entry.layer, entry.frame,
                                                    entry.isOnscreen});
    }
    return windows;
}

platform::Async<OpeningInventoryResult> CGOpeningInventory::inventory(std::set<std::int32_t> pids) {
    if (pids.empty())
        co_return OpeningInventoryResult::available({}, {});
    // The job refers to frame locals by address only (g++ 12 destroys non-trivial captures of a
    // co_await temporary twice).
    platform::WindowServer* server = server_.get();
    const std::set<std::int32_t>* requested = &pids;
    std::shared_ptr<platform::WindowServer> keep = server_;
    co_return co_await pool_.run(
        [server, requested] { return parseOpeningInventory(server->copyWindowInfo(), *requested); });
}

} // namespace tidewright
