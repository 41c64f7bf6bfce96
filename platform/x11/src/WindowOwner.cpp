#include "platform/x11/WindowOwner.hpp"

#include "platform/x11/Properties.hpp"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>

namespace platform::x11 {

namespace {

std::optional<std::int32_t> validPid(std::optional<std::uint32_t> pid) {
    if (!pid || *pid < 1 || *pid > static_cast<std::uint32_t>(INT32_MAX))
        return std::nullopt;
    return static_cast<std::int32_t>(*pid);
}

bool sameHost(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

const std::string& thisHostName() {
    static const std::string name = [] {
        char buffer[HOST_NAME_MAX + 1] = {};
        if (::gethostname(buffer, sizeof buffer - 1) != 0)
            return std::string();
        return std::string(buffer);
    }();
    return name;
}

using PendingIds = std::optional<PendingReply<xcb_res_query_client_ids_reply_t>>;

std::optional<std::uint32_t> serverPidFrom(PendingIds pending, Deadline deadline) {
    if (!pending)
        return std::nullopt;
    Reply<xcb_res_query_client_ids_reply_t> reply;
    try {
        reply = pending->get(deadline);
    } catch (const XcbFailure& failure) {
        // An X-Resource too old to know the request: the server does not say.
        if (failure.kind == XcbFailure::Kind::xError && failure.errorCode == XCB_REQUEST)
            return std::nullopt;
        throw;
    }
    for (auto ids = xcb_res_query_client_ids_ids_iterator(reply.get()); ids.rem > 0;
         xcb_res_client_id_value_next(&ids)) {
        // The value starts with the query it answers.
        const auto* answered = reinterpret_cast<const xcb_res_client_id_spec_t*>(ids.data);
        if ((answered->mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) != 0 &&
            xcb_res_client_id_value_value_length(ids.data) > 0) {
            return xcb_res_client_id_value_value(ids.data)[0];
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::int32_t> ownerFrom(const OwnerClues& clues, std::string_view thisHost) {
    if (auto pid = validPid(clues.serverPid))
        return pid;
    if (clues.clientMachine && !sameHost(*clues.clientMachine, thisHost))
        return std::nullopt;
    return validPid(clues.propertyPid);
}

PendingOwner requestOwner(XcbConnection& connection, xcb_window_t window) {
    std::optional<PendingReply<xcb_res_query_client_ids_reply_t>> ids;
    if (connection.hasResources()) {
        // The client that made a window stays its client: the answer is kept until the window goes.
        KeptReplies* kept = connection.kept();
        const KeptReplies::Key key{window, XCB_NONE, XCB_NONE, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        if (kept != nullptr) {
            if (auto reply = kept->find<xcb_res_query_client_ids_reply_t>(key))
                ids.emplace(std::move(reply));
            else
                connection.watchForKeeping(window);
        }
        if (!ids) {
            xcb_res_client_id_spec_t query{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
            auto cookie = xcb_res_query_client_ids(connection.raw(), 1, &query);
            ids.emplace(connection, cookie.sequence);
            if (kept != nullptr) {
                ids->whenFetched(
                    [kept, key](const xcb_res_query_client_ids_reply_t& reply) { kept->keep(key, reply); });
            }
        }
    }
    const Atoms& atoms = connection.atoms();
    return PendingOwner{
        std::move(ids), requestProperty(connection, window, atoms.netWmPid, XCB_ATOM_CARDINAL, 1),
        requestProperty(connection, window, atoms.wmClientMachine, XCB_GET_PROPERTY_TYPE_ANY, 64)};
}

std::optional<std::int32_t> ownerFrom(PendingOwner pending, Deadline deadline) {
    OwnerClues clues;
    // The property reads come first: on a gone window they fail with BadWindow, which the caller
    // tells apart, where the X-Resource query would only answer nothing.
    auto pidReply = pending.propertyPid.get(deadline);
    if (auto values = valuesOf(pidReply, XCB_ATOM_CARDINAL); !values.empty())
        clues.propertyPid = values.front();
    clues.clientMachine = textOf(pending.clientMachine.get(deadline));
    clues.serverPid = serverPidFrom(std::move(pending.serverIds), deadline);
    return ownerFrom(clues, thisHostName());
}

} // namespace platform::x11
