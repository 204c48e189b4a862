// A stand-in for the XDG desktop portal's file chooser, for tests that start
// without a file: it owns the portal's name on a session bus of the test's
// own and answers every OpenFile at once, as a person picking a file would.
// GIO and the standard library only, so that a test program without
// GoogleTest can serve it too.
#pragma once

#ifndef _WIN32

#include <gio/gio.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>

namespace velmora::testing {

/// How the stand-in answers every OpenFile: the portal's response (0 chosen,
/// 1 cancelled, 2 failed) and, when chosen, the file's URI.
struct FileChooserAnswer {
  unsigned response = 0;
  std::string uri;
};

namespace portal_detail {

struct Server {
  FileChooserAnswer answer;
  std::function<void(const std::string&)> asked;
};

inline void OnCall(GDBusConnection* bus, const gchar* sender, const gchar*, const gchar*, const gchar*,
                   GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
  const auto* server = static_cast<const Server*>(data);
  const gchar* title = nullptr;
  GVariant* options = nullptr;
  g_variant_get(parameters, "(&s&s@a{sv})", nullptr, &title, &options);
  if (server->asked) server->asked(title);
  // The caller listens for the answer on the request object its token names.
  const gchar* token = "fallback";
  g_variant_lookup(options, "handle_token", "&s", &token);
  std::string caller = sender + 1;
  for (char& c : caller)
    if (c == '.') c = '_';
  const std::string handle = "/org/freedesktop/portal/desktop/request/" + caller + "/" + token;
  g_variant_unref(options);
  g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", handle.c_str()));
  GVariantBuilder results;
  g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
  if (server->answer.response == 0) {
    const gchar* uris[] = {server->answer.uri.c_str(), nullptr};
    g_variant_builder_add(&results, "{sv}", "uris", g_variant_new_strv(uris, 1));
  }
  g_dbus_connection_emit_signal(bus, sender, handle.c_str(), "org.freedesktop.portal.Request", "Response",
                                g_variant_new("(u@a{sv})", server->answer.response,
                                              g_variant_builder_end(&results)),
                                nullptr);
}

inline GVariant* OnGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                               GError**, gpointer) {
  return g_variant_new_uint32(3);
}

/// True once `path` exists; gives up after five seconds.
inline bool AwaitFile(const std::string& path) {
  using namespace std::chrono_literals;
  for (const auto end = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(20ms))
    if (access(path.c_str(), F_OK) == 0) return true;
  return false;
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace portal_detail

/// Serves the stand-in on the bus at `address` until the process ends.
/// `ready` runs once the portal's name is owned, so callers never race it;
/// `asked` runs with the title of every OpenFile. Returns 1 at once when the
/// bus or the name cannot be had.
inline int ServeFileChooserPortal(const std::string& address, FileChooserAnswer answer,
                                  const std::function<void()>& ready,
                                  std::function<void(const std::string& title)> asked) {
  GError* error = nullptr;
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (bus == nullptr) {
    g_clear_error(&error);
    return 1;
  }
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(
      "<node><interface name='org.freedesktop.portal.FileChooser'>"
      "<method name='OpenFile'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
      "<arg type='a{sv}' direction='in'/><arg type='o' direction='out'/></method>"
      "<property name='version' type='u' access='read'/></interface></node>",
      nullptr);
  portal_detail::Server server{std::move(answer), std::move(asked)};
  static const GDBusInterfaceVTable vtable = {portal_detail::OnCall, portal_detail::OnGetProperty, nullptr, {}};
  g_dbus_connection_register_object(bus, "/org/freedesktop/portal/desktop", node->interfaces[0], &vtable,
                                    &server, nullptr, nullptr);
  // 4: do not queue; a name someone else already owns is a failure.
  GVariant* owned = g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
      g_variant_new("(su)", "org.freedesktop.portal.Desktop", 4u), G_VARIANT_TYPE("(u)"),
      G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
  guint32 reply = 0;
  if (owned != nullptr) {
    g_variant_get(owned, "(u)", &reply);
    g_variant_unref(owned);
  }
  if (reply != 1) {  // 1: the primary owner
    g_dbus_node_info_unref(node);
    g_object_unref(bus);
    return 1;
  }
  if (ready) ready();
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  g_main_loop_run(loop);
  g_main_loop_unref(loop);
  g_dbus_node_info_unref(node);
  g_object_unref(bus);
  return 0;
}

/// The stand-in served by a child process for the life of the object. The
/// title of the last OpenFile goes to `titleFile`.
class FakeFileChooserPortal {
 public:
  FakeFileChooserPortal(const std::string& address, unsigned response, std::string uri,
                        const std::string& titleFile) {
    const std::string ready = titleFile + ".ready";
    pid_ = fork();
    if (pid_ == 0) {
      _exit(ServeFileChooserPortal(
          address, FileChooserAnswer{response, std::move(uri)},
          [&ready] { portal_detail::WriteText(ready, ""); },
          [&titleFile](const std::string& title) { portal_detail::WriteText(titleFile, title); }));
    }
    if (!portal_detail::AwaitFile(ready)) Stop();
  }
  ~FakeFileChooserPortal() { Stop(); }
  FakeFileChooserPortal(const FakeFileChooserPortal&) = delete;
  FakeFileChooserPortal& operator=(const FakeFileChooserPortal&) = delete;

  /// False when the child could not own the portal's name in time.
  bool Running() const { return pid_ > 0; }

 private:
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  pid_t pid_ = -1;
};

}  // namespace velmora::testing

#endif  // _WIN32
