// The X11 window-manager conventions, spoken over Qt's own X connection: on
// every freedesktop system (Linux, the BSDs); under Wayland there is no X
// connection and they do nothing.
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ui/window_system.h"

namespace velmora {
namespace {

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp == nullptr ? nullptr : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 == nullptr ? nullptr : x11->connection();
}

template <class Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  Owned<xcb_intern_atom_reply_t> reply(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

/// The window named by the WINDOW property `property` of `window`, or none.
xcb_window_t WindowProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
  Owned<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_WINDOW, 0, 1), nullptr), &std::free);
  if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
    return XCB_WINDOW_NONE;
  return *static_cast<xcb_window_t*>(xcb_get_property_value(reply.get()));
}

/// Notices the clipboard manager's answer to SAVE_TARGETS.
class SaveAnswer : public QAbstractNativeEventFilter {
 public:
  SaveAnswer(xcb_window_t requestor, xcb_atom_t manager) : requestor_(requestor), manager_(manager) {}
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY) return false;
    const auto* notify = static_cast<const xcb_selection_notify_event_t*>(message);
    if (notify->requestor != requestor_ || notify->selection != manager_) return false;
    answered = true;
    return true;
  }
  bool answered = false;

 private:
  xcb_window_t requestor_;
  xcb_atom_t manager_;
};

xcb_window_t SelectionOwner(xcb_connection_t* c, xcb_atom_t selection) {
  Owned<xcb_get_selection_owner_reply_t> reply(
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr), &std::free);
  return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}

}  // namespace

void HandClipboardToManager(int waitMs) {
  xcb_connection_t* c = Connection();
  if (c == nullptr) return;
  const xcb_atom_t manager = Atom(c, "CLIPBOARD_MANAGER");
  if (SelectionOwner(c, manager) == XCB_WINDOW_NONE) return;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (screen == nullptr) return;
  // An unmapped window of our own receives the answer, apart from Qt's.
  const xcb_window_t requestor = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, requestor, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                    XCB_COPY_FROM_PARENT, 0, nullptr);
  SaveAnswer answer(requestor, manager);
  qGuiApp->installNativeEventFilter(&answer);
  xcb_convert_selection(c, requestor, manager, Atom(c, "SAVE_TARGETS"), Atom(c, "_VELMORA_SAVED"), XCB_CURRENT_TIME);
  xcb_flush(c);
  // Qt's clipboard serves the manager's requests for the text meanwhile.
  const QDeadlineTimer deadline(waitMs);
  while (!answer.answered && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
  qGuiApp->removeNativeEventFilter(&answer);
  xcb_destroy_window(c, requestor);
  xcb_flush(c);
}

void MarkX11Launch(QWindow& window, const QByteArray& startupId) {
  xcb_connection_t* c = Connection();
  if (c == nullptr || startupId.isEmpty()) return;
  const auto id = xcb_window_t(window.winId());
  // The window manager matches the window to its launch by this ID; Qt puts
  // it on no window.
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, Atom(c, "_NET_STARTUP_ID"), Atom(c, "UTF8_STRING"), 8,
                      std::uint32_t(startupId.size()), startupId.constData());
  // The time of the click or key that launched the program: a window manager
  // preventing focus stealing compares it with the user's input since. Qt sets
  // no time before mapping, or a recent one that is no user's.
  if (const std::uint32_t time = LaunchTime(startupId); time != 0)
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, Atom(c, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &time);
  xcb_flush(c);
}

bool X11WindowManagerRuns() {
  xcb_connection_t* c = Connection();
  if (c == nullptr) return false;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (screen == nullptr) return false;
  // The window manager names a window of its own on the root, which names
  // itself again; a stale property left by a window manager that ended does not.
  const xcb_atom_t check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
  const xcb_window_t wm = WindowProperty(c, screen->root, check);
  return wm != XCB_WINDOW_NONE && WindowProperty(c, wm, check) == wm;
}

}  // namespace velmora
