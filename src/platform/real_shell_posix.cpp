// The desktop's file associations through GIO (the same data xdg-open and
// `gio open` read), and its application chooser through the XDG desktop
// portal on the session bus.
#include "platform/real_shell.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "platform/codec.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace velmora {
namespace {

// The classic result codes of opening a file.
constexpr long kOtherFailure = 0;
constexpr long kFileNotFound = 2;
constexpr long kPathNotFound = 3;
constexpr long kAccessDenied = 5;
constexpr long kOutOfMemory = 8;
constexpr long kInvalidProgram = 11;
constexpr long kNoAssociation = 31;
constexpr long kStarted = 42;

// The portal answers at once (the chooser reports later, by signal); the
// timeout only bounds a portal that hangs.
constexpr int kPortalTimeoutMs = 5000;

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

/// The native bytes of `path`, or false when no file can bear that name (an
/// embedded NUL, a stray surrogate) or the name is empty.
bool NativeOf(const Text& path, std::string& native) noexcept {
  try {
    native = ToNativePath(path);
    return !native.empty();
  } catch (const RuntimeError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

/// The folder holding `native`: "." for a bare name.
std::string ParentOf(std::string native) {
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  const std::size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

bool IsFolder(const std::string& native) {
  struct stat status;
  return stat(native.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

/// The code for a path that stat() refused with `error`.
long CodeForStatError(const std::string& native, int error) {
  switch (error) {
    case ENOENT: return IsFolder(ParentOf(native)) ? kFileNotFound : kPathNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return kPathNotFound;
    case EACCES:
    case EPERM: return kAccessDenied;
    case ENOMEM: return kOutOfMemory;
    default: return kOtherFailure;
  }
}

/// The code for a failure GIO reported while reading the file's type.
long CodeForFileError(const GError* error) {
  if (error == nullptr || error->domain != G_IO_ERROR) return kOtherFailure;
  switch (error->code) {
    case G_IO_ERROR_NOT_FOUND: return kFileNotFound;
    case G_IO_ERROR_NOT_DIRECTORY:
    case G_IO_ERROR_FILENAME_TOO_LONG:
    case G_IO_ERROR_TOO_MANY_LINKS: return kPathNotFound;
    case G_IO_ERROR_PERMISSION_DENIED: return kAccessDenied;
    default: return kOtherFailure;
  }
}

/// The code for a program that could not be started.
long CodeForLaunchError(const GError* error) {
  if (error == nullptr || error->domain != G_SPAWN_ERROR) return kOtherFailure;
  switch (error->code) {
    case G_SPAWN_ERROR_NOMEM: return kOutOfMemory;
    case G_SPAWN_ERROR_NOEXEC:
    case G_SPAWN_ERROR_LIBBAD: return kInvalidProgram;
    case G_SPAWN_ERROR_ACCES:
    case G_SPAWN_ERROR_PERM: return kAccessDenied;
    default: return kOtherFailure;
  }
}

/// Makes `folder` the working folder of programs started while it lives.
/// GIO has no per-launch working folder and forks on the calling thread, so
/// the process's own folder is switched around the launch and restored at
/// once; nothing on another thread of this program resolves relative paths.
class WorkingFolderScope {
 public:
  explicit WorkingFolderScope(const std::string& folder) {
    if (folder.empty()) return;
    saved_ = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (saved_ < 0) return;  // without a way back, stay where we are
    if (chdir(folder.c_str()) != 0) {
      close(saved_);
      saved_ = -1;
    }
  }
  ~WorkingFolderScope() {
    if (saved_ < 0) return;
    if (fchdir(saved_) != 0) {
      // The saved folder is held open, so this cannot fail in practice.
    }
    close(saved_);
  }
  WorkingFolderScope(const WorkingFolderScope&) = delete;
  WorkingFolderScope& operator=(const WorkingFolderScope&) = delete;

 private:
  int saved_ = -1;
};

/// Opens the existing file `native` with the default program of its type.
long OpenWithDefault(const std::string& native, const std::string& folder) {
  struct stat status;
  if (stat(native.c_str(), &status) != 0) return CodeForStatError(native, errno);
  // The program would fail on a file it cannot read; say so before starting it.
  if (access(native.c_str(), R_OK) != 0) return errno == ENOMEM ? kOutOfMemory : kAccessDenied;

  GObjectPtr<GFile> file(g_file_new_for_path(native.c_str()));
  GError* rawError = nullptr;
  GObjectPtr<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                               G_FILE_QUERY_INFO_NONE, nullptr, &rawError));
  ErrorPtr queryError(rawError);
  if (!info) return CodeForFileError(queryError.get());
  const char* type =
      g_file_info_get_attribute_string(info.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE);
  if (type == nullptr) return kNoAssociation;
  GObjectPtr<GAppInfo> program(g_app_info_get_default_for_type(type, FALSE));
  if (!program) return kNoAssociation;

  GList files = {file.get(), nullptr, nullptr};
  rawError = nullptr;
  gboolean started = FALSE;
  {
    WorkingFolderScope inFolder(folder);
    started = g_app_info_launch(program.get(), &files, nullptr, &rawError);
  }
  ErrorPtr launchError(rawError);
  return started ? kStarted : CodeForLaunchError(launchError.get());
}

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

/// The (a{sv}) options asking the portal to show its chooser.
GVariant* AskOptions() {
  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "ask", g_variant_new_boolean(TRUE));
  return g_variant_builder_end(&options);
}

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kOpenUriInterface = "org.freedesktop.portal.OpenURI";

/// OpenFile hands the portal a descriptor, which also works from a sandbox.
bool ChooseByDescriptor(GDBusConnection* bus, const std::string& native) {
  const int fd = open(native.c_str(), kReferenceOnly);
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
bool ChooseByUri(GDBusConnection* bus, const std::string& native) {
  GObjectPtr<GFile> file(g_file_new_for_path(native.c_str()));
  CharsPtr uri(g_file_get_uri(file.get()));
  GError* rawError = nullptr;
  VariantPtr reply(g_dbus_connection_call_sync(
      bus, kPortalName, kPortalPath, kOpenUriInterface, "OpenURI",
      g_variant_new("(ss@a{sv})", "", uri.get(), AskOptions()), G_VARIANT_TYPE("(o)"),
      G_DBUS_CALL_FLAGS_NONE, kPortalTimeoutMs, nullptr, &rawError));
  ErrorPtr error(rawError);
  return reply != nullptr;
}

/// Opening files by their desktop association. Window show states have no
/// meaning here (the window manager places windows), and an association takes
/// files only, so `parameters` are not passed on.
class PosixShell final : public Shell {
 public:
  long Execute(const Text& verb, const Text& file, const Text&, const Text& directory,
               int) override {
    // Associations exist for opening only; another verb has no program.
    if (!verb.empty() && LCase(verb) != u"open") return kNoAssociation;
    std::string native;
    if (!NativeOf(file, native)) return kFileNotFound;
    std::string folder;
    if (!directory.empty() && !NativeOf(directory, folder)) folder.clear();
    return OpenWithDefault(native, folder);
  }

  void StartCommandLine(const Text& commandLine, int) override {
    std::string native;
    if (!NativeOf(commandLine, native)) return;
    GError* rawError = nullptr;
    g_spawn_command_line_async(native.c_str(), &rawError);
    ErrorPtr ignored(rawError);  // the outcome is not reported
  }

  bool ChooseProgram(const Text& file) override {
    std::string native;
    if (!NativeOf(file, native)) return false;
    GDBusConnection* bus = SessionBus();
    if (bus == nullptr) return false;
    return ChooseByDescriptor(bus, native) || ChooseByUri(bus, native);
  }

 private:
  /// A private connection kept for the life of the shell: the portal closes
  /// a chooser whose caller has left the bus.
  GDBusConnection* SessionBus() {
    if (bus_ && !g_dbus_connection_is_closed(bus_.get())) return bus_.get();
    bus_.reset();
    const std::string address = SessionBusAddress();
    if (address.empty()) return nullptr;
    GError* rawError = nullptr;
    bus_.reset(g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &rawError));
    ErrorPtr error(rawError);
    return bus_.get();
  }

  GObjectPtr<GDBusConnection> bus_;
};

}  // namespace

std::unique_ptr<Shell> MakeRealShell() { return std::make_unique<PosixShell>(); }

}  // namespace velmora
