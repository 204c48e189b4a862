// The desktop module: file associations through GIO (the same data xdg-open
// and `gio open` read), and the XDG desktop portal's "Open With" and file
// choosers on the session bus. Loaded by the program on first use.
#include <fcntl.h>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gio/gio_api.h"

namespace open_result = velmora::open_result;

namespace {

// The portal answers at once (the chooser reports later, by signal); the
// timeout only bounds a portal that hangs.
constexpr int kPortalTimeoutMs = 5000;
// Asking the bus about the portal, and starting the portal when it is
// activatable: long enough for a cold start, short enough to fall back to
// the toolkit's own dialog without a noticeable wait.
constexpr int kBusQueryTimeoutMs = 1000;
constexpr int kPortalStartTimeoutMs = 3000;

#ifdef O_PATH
constexpr int kReferenceOnly = O_PATH | O_CLOEXEC;  // names the file without reading it
#else
constexpr int kReferenceOnly = O_RDONLY | O_NONBLOCK | O_CLOEXEC;  // never blocks on a FIFO
#endif

struct ObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, ObjectUnref>;

struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

struct CharsFree {
  void operator()(gchar* chars) const { g_free(chars); }
};
using CharsPtr = std::unique_ptr<gchar, CharsFree>;

struct VariantUnref {
  void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

struct AppListFree {
  void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using AppListPtr = std::unique_ptr<GList, AppListFree>;

/// The code for a failure GIO reported while reading the file's type.
long CodeForFileError(const GError* error) {
  if (error == nullptr || error->domain != G_IO_ERROR) return open_result::kOtherFailure;
  switch (error->code) {
    case G_IO_ERROR_NOT_FOUND: return open_result::kFileNotFound;
    case G_IO_ERROR_NOT_DIRECTORY:
    case G_IO_ERROR_FILENAME_TOO_LONG:
    case G_IO_ERROR_TOO_MANY_LINKS: return open_result::kPathNotFound;
    case G_IO_ERROR_PERMISSION_DENIED: return open_result::kAccessDenied;
    default: return open_result::kOtherFailure;
  }
}

/// The code for a program that could not be started.
long CodeForLaunchError(const GError* error) {
  if (error == nullptr || error->domain != G_SPAWN_ERROR) return open_result::kOtherFailure;
  switch (error->code) {
    case G_SPAWN_ERROR_NOMEM: return open_result::kOutOfMemory;
    case G_SPAWN_ERROR_NOEXEC:
    case G_SPAWN_ERROR_LIBBAD: return open_result::kInvalidProgram;
    case G_SPAWN_ERROR_ACCES:
    case G_SPAWN_ERROR_PERM: return open_result::kAccessDenied;
    default: return open_result::kOtherFailure;
  }
}

/// Runs in the started program's process, between fork and exec: its
/// working folder is the file's, while this program's own stays as it is
/// (other threads here may resolve relative paths at any moment).
void EnterFolder(gpointer folder) {
  if (chdir(static_cast<const char*>(folder)) != 0) {
    // The folder went away: the program starts where this one runs.
  }
}

/// Starts `program` on `file` in `folder` ("" or null: this program's own).
bool Launch(GAppInfo* program, GFile* file, const char* folder, GError** error) {
  const bool inFolder = folder != nullptr && *folder != '\0';
  if (inFolder && G_IS_DESKTOP_APP_INFO(program)) {
    CharsPtr uri(g_file_get_uri(file));
    GList uris = {uri.get(), nullptr, nullptr};
    return g_desktop_app_info_launch_uris_as_manager(G_DESKTOP_APP_INFO(program), &uris, nullptr,
                                                     G_SPAWN_SEARCH_PATH, EnterFolder,
                                                     const_cast<char*>(folder), nullptr, nullptr, error);
  }
  GList files = {file, nullptr, nullptr};
  return g_app_info_launch(program, &files, nullptr, error);
}

/// Adds `list`'s programs to `programs` that are not in it yet, by desktop id
/// (an entry without one cannot be started again by id).
void AddPrograms(GList* list, std::vector<GAppInfo*>& programs) {
  for (GList* item = list; item != nullptr; item = item->next) {
    auto* program = static_cast<GAppInfo*>(item->data);
    const char* id = g_app_info_get_id(program);
    if (id == nullptr) continue;
    bool known = false;
    for (GAppInfo* p : programs) known = known || std::strcmp(g_app_info_get_id(p), id) == 0;
    if (!known) programs.push_back(static_cast<GAppInfo*>(g_object_ref(program)));
  }
}

long ProgramsFor(const char* path, VelmoraPrograms* out) {
  *out = VelmoraPrograms{0, nullptr, nullptr};
  GObjectPtr<GFile> file(g_file_new_for_path(path));
  GError* rawError = nullptr;
  GObjectPtr<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                               G_FILE_QUERY_INFO_NONE, nullptr, &rawError));
  ErrorPtr queryError(rawError);
  if (!info) return CodeForFileError(queryError.get());
  const char* type = g_file_info_get_attribute_string(info.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE);
  if (type == nullptr) return kProgramFound;
  // No default means no association, whatever else is registered.
  std::vector<GAppInfo*> programs;
  if (GObjectPtr<GAppInfo> chosen{g_app_info_get_default_for_type(type, FALSE)}) {
    GList one = {chosen.get(), nullptr, nullptr};
    AddPrograms(&one, programs);
    AppListPtr recommended(g_app_info_get_recommended_for_type(type));
    AddPrograms(recommended.get(), programs);
    AppListPtr fallback(g_app_info_get_fallback_for_type(type));
    AddPrograms(fallback.get(), programs);
  }

  out->count = static_cast<int>(programs.size());
  out->ids = g_new0(char*, programs.size() + 1);
  out->executables = g_new0(char*, programs.size() + 1);
  for (std::size_t i = 0; i < programs.size(); ++i) {
    out->ids[i] = g_strdup(g_app_info_get_id(programs[i]));
    const char* command = g_app_info_get_executable(programs[i]);
    char* found = command != nullptr && *command != '\0' ? g_find_program_in_path(command) : nullptr;
    out->executables[i] = found != nullptr ? found : g_strdup("");
    g_object_unref(programs[i]);
  }
  return kProgramFound;
}

void FreePrograms(VelmoraPrograms* programs) {
  g_strfreev(programs->ids);
  g_strfreev(programs->executables);
  *programs = VelmoraPrograms{0, nullptr, nullptr};
}

long OpenWith(const char* id, const char* path, const char* folder) {
  GObjectPtr<GDesktopAppInfo> program(g_desktop_app_info_new(id));
  if (!program) return open_result::kNoAssociation;
  GObjectPtr<GFile> file(g_file_new_for_path(path));
  GError* rawError = nullptr;
  const bool started = Launch(G_APP_INFO(program.get()), file.get(), folder, &rawError);
  ErrorPtr launchError(rawError);
  return started ? open_result::kStarted : CodeForLaunchError(launchError.get());
}

// ---------------------------------------------------------------- portal

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kOpenUriInterface = "org.freedesktop.portal.OpenURI";
constexpr const char* kFileChooserInterface = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";

/// The session bus address, or empty when there is no session bus. Never
/// starts a bus: GLib would autolaunch one when none is configured.
std::string SessionBusAddress() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return address;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return {};
  const std::string socket = std::string(runtime) + "/bus";
  struct stat status;
  if (stat(socket.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode)) return {};
  CharsPtr escaped(g_dbus_address_escape_value(socket.c_str()));
  return "unix:path=" + std::string(escaped.get());
}

/// A private connection kept for the life of the program: the portal closes
/// a chooser whose caller has left the bus. Null when there is no bus.
GDBusConnection* SessionBus() {
  static GDBusConnection* bus = nullptr;
  if (bus != nullptr && !g_dbus_connection_is_closed(bus)) return bus;
  if (bus != nullptr) g_object_unref(bus);
  bus = nullptr;
  const std::string address = SessionBusAddress();
  if (address.empty()) return nullptr;
  GError* rawError = nullptr;
  bus = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &rawError);
  ErrorPtr error(rawError);
  if (bus != nullptr) g_dbus_connection_set_exit_on_close(bus, FALSE);
  return bus;
}

/// The reply of a method of the bus itself, or null.
VariantPtr AskBus(GDBusConnection* bus, const char* method, GVariant* parameters,
                  const char* replyType) {
  GError* rawError = nullptr;
  VariantPtr reply(g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                               "org.freedesktop.DBus", method, parameters,
                                               G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NONE,
                                               kBusQueryTimeoutMs, nullptr, &rawError));
  ErrorPtr error(rawError);
  return reply;
}

/// Whether the portal runs or can be started by the bus.
bool PortalOnBus(GDBusConnection* bus) {
  VariantPtr owned = AskBus(bus, "NameHasOwner", g_variant_new("(s)", kPortalName), "(b)");
  gboolean has = FALSE;
  if (owned) g_variant_get(owned.get(), "(b)", &has);
  if (has) return true;
  VariantPtr names = AskBus(bus, "ListActivatableNames", nullptr, "(as)");
  if (!names) return false;
  GVariantIter* iter = nullptr;
  g_variant_get(names.get(), "(as)", &iter);
  bool found = false;
  const gchar* name = nullptr;
  while (!found && g_variant_iter_next(iter, "&s", &name)) found = std::strcmp(name, kPortalName) == 0;
  g_variant_iter_free(iter);
  return found;
}

/// Whether the portal offers `interface` (reading its version starts a
/// portal that is activatable).
bool PortalOffers(GDBusConnection* bus, const char* interface) {
  GError* rawError = nullptr;
  VariantPtr reply(g_dbus_connection_call_sync(
      bus, kPortalName, kPortalPath, "org.freedesktop.DBus.Properties", "Get",
      g_variant_new("(ss)", interface, "version"), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
      kPortalStartTimeoutMs, nullptr, &rawError));
  ErrorPtr error(rawError);
  return reply != nullptr;
}

/// The (a{sv}) options asking the portal to show its chooser.
GVariant* AskOptions() {
  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "ask", g_variant_new_boolean(TRUE));
  return g_variant_builder_end(&options);
}

/// OpenFile hands the portal a descriptor, which also works from a sandbox.
bool ChooseByDescriptor(GDBusConnection* bus, const char* path) {
  const int fd = open(path, kReferenceOnly);
  if (fd < 0) return false;
  GObjectPtr<GUnixFDList> fds(g_unix_fd_list_new_from_array(&fd, 1));  // owns fd now
  GError* rawError = nullptr;
  VariantPtr reply(g_dbus_connection_call_with_unix_fd_list_sync(
      bus, kPortalName, kPortalPath, kOpenUriInterface, "OpenFile",
      g_variant_new("(sh@a{sv})", "", 0, AskOptions()), G_VARIANT_TYPE("(o)"),
      G_DBUS_CALL_FLAGS_NONE, kPortalTimeoutMs, fds.get(), nullptr, nullptr, &rawError));
  ErrorPtr error(rawError);
  return reply != nullptr;
}

/// OpenURI with a file:// address, for portals older than OpenFile.
bool ChooseByUri(GDBusConnection* bus, const char* path) {
  GObjectPtr<GFile> file(g_file_new_for_path(path));
  CharsPtr uri(g_file_get_uri(file.get()));
  GError* rawError = nullptr;
  VariantPtr reply(g_dbus_connection_call_sync(
      bus, kPortalName, kPortalPath, kOpenUriInterface, "OpenURI",
      g_variant_new("(ss@a{sv})", "", uri.get(), AskOptions()), G_VARIANT_TYPE("(o)"),
      G_DBUS_CALL_FLAGS_NONE, kPortalTimeoutMs, nullptr, &rawError));
  ErrorPtr error(rawError);
  return reply != nullptr;
}

bool ChooseProgram(const char* path) {
  GDBusConnection* bus = SessionBus();
  if (bus == nullptr) return false;
  return ChooseByDescriptor(bus, path) || ChooseByUri(bus, path);
}

/// The portal's answer to one request, delivered by the Request's Response
/// signal (or the portal leaving the bus).
struct PortalAnswer {
  bool done = false;
  guint32 response = 2;  // 0 chosen, 1 cancelled, 2 failed
  std::string path;
};

void OnResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                GVariant* parameters, gpointer data) {
  auto* answer = static_cast<PortalAnswer*>(data);
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) return;
  GVariant* rawResults = nullptr;
  g_variant_get(parameters, "(u@a{sv})", &answer->response, &rawResults);
  VariantPtr results(rawResults);
  const gchar** uris = nullptr;
  if (answer->response == 0 && g_variant_lookup(results.get(), "uris", "^a&s", &uris)) {
    if (uris != nullptr && uris[0] != nullptr) {
      GObjectPtr<GFile> file(g_file_new_for_uri(uris[0]));
      CharsPtr path(g_file_get_path(file.get()));
      if (path) answer->path = path.get();
    }
    g_free(uris);
  }
  answer->done = true;
}

void OnPortalGone(GDBusConnection*, const gchar*, gpointer data) {
  static_cast<PortalAnswer*>(data)->done = true;  // response stays "failed"
}

/// The object path where the portal will answer a request with `token`.
std::string RequestPath(GDBusConnection* bus, const std::string& token) {
  std::string sender = g_dbus_connection_get_unique_name(bus);
  if (!sender.empty() && sender[0] == ':') sender.erase(0, 1);
  for (char& c : sender)
    if (c == '.') c = '_';
  return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

int ChooseFile(const char* title, char** path) {
  *path = nullptr;
  GDBusConnection* bus = SessionBus();
  if (bus == nullptr || !PortalOnBus(bus) || !PortalOffers(bus, kFileChooserInterface))
    return kNoFileChooser;

  // The answer comes as a signal: wait for it in a context of our own, so
  // that the toolkit's events (on the default context) are not run meanwhile.
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  PortalAnswer answer;
  const std::string token = "velmora" + std::to_string(getpid());
  std::string requestPath = RequestPath(bus, token);
  // Subscribed before the call, so that a quick answer is not missed.
  // Only the portal may answer: any other client could emit a Response on
  // this path and choose the file to rename.
  guint subscription = g_dbus_connection_signal_subscribe(
      bus, kPortalName, kRequestInterface, "Response", requestPath.c_str(), nullptr,
      G_DBUS_SIGNAL_FLAGS_NONE, OnResponse, &answer, nullptr);
  const guint watch = g_bus_watch_name_on_connection(bus, kPortalName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                                     nullptr, OnPortalGone, &answer, nullptr);

  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
  g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
  g_variant_builder_add(&options, "{sv}", "multiple", g_variant_new_boolean(FALSE));
  CharsPtr here(g_get_current_dir());
  g_variant_builder_add(&options, "{sv}", "current_folder", g_variant_new_bytestring(here.get()));
  GError* rawError = nullptr;
  VariantPtr reply(g_dbus_connection_call_sync(
      bus, kPortalName, kPortalPath, kFileChooserInterface, "OpenFile",
      g_variant_new("(ss@a{sv})", "", title, g_variant_builder_end(&options)), G_VARIANT_TYPE("(o)"),
      G_DBUS_CALL_FLAGS_NONE, kPortalTimeoutMs, nullptr, &rawError));
  ErrorPtr error(rawError);
  if (reply) {
    const gchar* handle = nullptr;
    g_variant_get(reply.get(), "(&o)", &handle);
    if (requestPath != handle) {
      // A portal older than handle_token answers on a path of its own.
      g_dbus_connection_signal_unsubscribe(bus, subscription);
      requestPath = handle;
      subscription = g_dbus_connection_signal_subscribe(
          bus, kPortalName, kRequestInterface, "Response", requestPath.c_str(), nullptr,
          G_DBUS_SIGNAL_FLAGS_NONE, OnResponse, &answer, nullptr);
    }
    while (!answer.done && !g_dbus_connection_is_closed(bus)) g_main_context_iteration(context, TRUE);
  }
  g_bus_unwatch_name(watch);
  g_dbus_connection_signal_unsubscribe(bus, subscription);
  while (g_main_context_pending(context)) g_main_context_iteration(context, FALSE);
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);

  if (!reply || !answer.done) return kNoFileChooser;
  if (answer.response == 1) return kFileCancelled;
  // A failed portal, or a file that is not on a local disk: the toolkit's
  // own dialog can still ask.
  if (answer.response != 0 || answer.path.empty()) return kNoFileChooser;
  *path = g_strdup(answer.path.c_str());
  return kFileChosen;
}

// ---------------------------------------------------------------- commands

void StartCommandLine(const char* commandLine) {
  GError* rawError = nullptr;
  g_spawn_command_line_async(commandLine, &rawError);
  ErrorPtr ignored(rawError);  // the outcome is not reported
}

void FreeText(char* text) { g_free(text); }

const VelmoraGioApi kApi = {
    kVelmoraGioApiVersion, ProgramsFor, FreePrograms, OpenWith, ChooseProgram, StartCommandLine, ChooseFile,
    FreeText,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const VelmoraGioApi* velmora_gio_api(void) {
  return &kApi;
}
