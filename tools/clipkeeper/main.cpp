// parcelio-clipkeeper: a stand-in desktop clipboard manager for tests.
//
//   parcelio-clipkeeper OUTFILE [SECONDS]
//
// It owns the CLIPBOARD_MANAGER selection of $DISPLAY and prints "ready" once
// it does. When a program that leaves asks it to SAVE_TARGETS, it fetches the
// CLIPBOARD as UTF8_STRING, writes the text byte for byte to OUTFILE (whole
// or not at all), answers the request, and then owns CLIPBOARD itself, so
// the text can still be pasted. It gives up after SECONDS (default 30).
// Only UTF8_STRING is kept, and INCR transfers (very large texts) are refused.
#include <xcb/xcb.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

template <typename T>
struct FreeDeleter {
    void operator()(T *p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

xcb_connection_t *conn = nullptr;
xcb_window_t self = XCB_NONE;

xcb_atom_t atom(const char *name)
{
    Reply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, std::strlen(name), name), nullptr));
    return r ? r->atom : XCB_NONE;
}

xcb_atom_t CLIPBOARD, CLIPBOARD_MANAGER, SAVE_TARGETS, TARGETS, UTF8_STRING, INCR, NULL_ATOM, KEPT;

void notify(const xcb_selection_request_event_t &req, xcb_atom_t property)
{
    xcb_selection_notify_event_t ev{};
    ev.response_type = XCB_SELECTION_NOTIFY;
    ev.time = req.time;
    ev.requestor = req.requestor;
    ev.selection = req.selection;
    ev.target = req.target;
    ev.property = property;
    xcb_send_event(conn, 0, req.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&ev));
    xcb_flush(conn);
}

bool own(xcb_atom_t selection, xcb_timestamp_t time)
{
    xcb_set_selection_owner(conn, self, selection, time);
    Reply<xcb_get_selection_owner_reply_t> r(
        xcb_get_selection_owner_reply(conn, xcb_get_selection_owner(conn, selection), nullptr));
    return r && r->owner == self;
}

// ICCCM asks owners for a real timestamp, not CurrentTime: a property change
// on our own window brings one back from the server.
xcb_timestamp_t serverTime()
{
    xcb_change_property(conn, XCB_PROP_MODE_APPEND, self, KEPT, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(conn);
    while (xcb_generic_event_t *e = xcb_wait_for_event(conn)) {
        Reply<xcb_generic_event_t> ev(e);
        if ((e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY)
            return reinterpret_cast<xcb_property_notify_event_t *>(e)->time;
    }
    return XCB_CURRENT_TIME;
}

bool writeWhole(const char *path, const std::string &text)
{
    const std::string part = std::string(path) + ".part";
    FILE *f = std::fopen(part.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok)
        return false;
    return std::rename(part.c_str(), path) == 0;
}

// Our own answers once we keep the text: TARGETS and UTF8_STRING.
void serveClipboard(const xcb_selection_request_event_t &req, const std::string &kept)
{
    xcb_atom_t property = req.property == XCB_NONE ? req.target : req.property;
    if (req.target == TARGETS) {
        const xcb_atom_t targets[] = {TARGETS, UTF8_STRING};
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, req.requestor, property, XCB_ATOM_ATOM, 32, 2,
                            targets);
    } else if (req.target == UTF8_STRING) {
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, req.requestor, property, UTF8_STRING, 8, kept.size(),
                            kept.data());
    } else {
        property = XCB_NONE;
    }
    notify(req, property);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: parcelio-clipkeeper OUTFILE [SECONDS]\n");
        return 2;
    }
    const char *outPath = argv[1];
    const auto deadline = Clock::now() + std::chrono::seconds(argc == 3 ? std::atoi(argv[2]) : 30);

    int screenNumber = 0;
    conn = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(conn)) {
        std::fprintf(stderr, "clipkeeper: cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    self = xcb_generate_id(conn);
    const uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, self, it.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, mask);
    CLIPBOARD = atom("CLIPBOARD");
    CLIPBOARD_MANAGER = atom("CLIPBOARD_MANAGER");
    SAVE_TARGETS = atom("SAVE_TARGETS");
    TARGETS = atom("TARGETS");
    UTF8_STRING = atom("UTF8_STRING");
    INCR = atom("INCR");
    NULL_ATOM = atom("NULL");
    KEPT = atom("_PARCELIO_KEPT");

    if (!own(CLIPBOARD_MANAGER, serverTime())) {
        std::fprintf(stderr, "clipkeeper: another clipboard manager runs\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    // The SAVE_TARGETS request waits for the owner's answer to our fetch.
    bool saving = false;
    xcb_selection_request_event_t pending{};
    bool keeping = false;
    std::string kept;
    const int fd = xcb_get_file_descriptor(conn);

    for (;;) {
        xcb_generic_event_t *e = xcb_poll_for_event(conn);
        if (!e) {
            if (xcb_connection_has_error(conn)) {
                std::fprintf(stderr, "clipkeeper: the display went away\n");
                return 1;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                std::fprintf(stderr, "clipkeeper: timed out%s\n", keeping ? "" : " with nothing saved");
                if (saving)
                    notify(pending, XCB_NONE);
                return 0;
            }
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, static_cast<int>(left.count()));
            continue;
        }
        Reply<xcb_generic_event_t> ev(e);
        switch (e->response_type & 0x7f) {
        case XCB_SELECTION_REQUEST: {
            const auto &req = *reinterpret_cast<xcb_selection_request_event_t *>(e);
            if (req.selection == CLIPBOARD && keeping) {
                serveClipboard(req, kept);
            } else if (req.selection == CLIPBOARD_MANAGER && req.target == SAVE_TARGETS && !saving) {
                saving = true;
                pending = req;
                xcb_delete_property(conn, self, KEPT);
                xcb_convert_selection(conn, self, CLIPBOARD, UTF8_STRING, KEPT, req.time);
                xcb_flush(conn);
            } else if (req.selection == CLIPBOARD_MANAGER && req.target == TARGETS) {
                const xcb_atom_t targets[] = {TARGETS, SAVE_TARGETS};
                const xcb_atom_t property = req.property == XCB_NONE ? req.target : req.property;
                xcb_change_property(conn, XCB_PROP_MODE_REPLACE, req.requestor, property, XCB_ATOM_ATOM, 32,
                                    2, targets);
                notify(req, property);
            } else {
                notify(req, XCB_NONE);
            }
            break;
        }
        case XCB_SELECTION_NOTIFY: {
            const auto &n = *reinterpret_cast<xcb_selection_notify_event_t *>(e);
            if (!saving || n.selection != CLIPBOARD)
                break;
            saving = false;
            bool got = false;
            std::string text;
            if (n.property != XCB_NONE) {
                Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
                    conn, xcb_get_property(conn, 1, self, KEPT, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 24),
                    nullptr));
                if (r && r->type == INCR)
                    std::fprintf(stderr, "clipkeeper: an INCR transfer is not kept\n");
                got = r && r->type == UTF8_STRING && r->format == 8;
                if (got)
                    text.assign(static_cast<const char *>(xcb_get_property_value(r.get())),
                                xcb_get_property_value_length(r.get()));
            }
            if (!got) {
                std::fprintf(stderr, "clipkeeper: the clipboard owner gave no UTF8_STRING\n");
                notify(pending, XCB_NONE);
                break;
            }
            // Written before the answer: the requester may be gone right after
            // it, and whoever waits for it then finds the file complete.
            if (!writeWhole(outPath, text)) {
                std::fprintf(stderr, "clipkeeper: cannot write %s\n", outPath);
                notify(pending, XCB_NONE);
                return 1;
            }
            // A side-effect target answers with an empty NULL property.
            const xcb_atom_t property = pending.property == XCB_NONE ? pending.target : pending.property;
            xcb_change_property(conn, XCB_PROP_MODE_REPLACE, pending.requestor, property, NULL_ATOM, 32, 0,
                                nullptr);
            notify(pending, property);
            kept = std::move(text);
            keeping = own(CLIPBOARD, pending.time);
            std::fprintf(stderr, "clipkeeper: kept %zu bytes%s\n", kept.size(),
                         keeping ? "" : " (but could not own CLIPBOARD)");
            break;
        }
        case XCB_SELECTION_CLEAR: {
            const auto &c = *reinterpret_cast<xcb_selection_clear_event_t *>(e);
            if (c.selection == CLIPBOARD)
                keeping = false; // someone copied anew: theirs now
            else if (c.selection == CLIPBOARD_MANAGER)
                return 0;
            break;
        }
        default: break;
        }
    }
}
