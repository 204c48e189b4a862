// velmora_test_portal FILE: the desktop portal's file chooser, stood in for on
// the session bus (DBUS_SESSION_BUS_ADDRESS), answering every OpenFile with
// FILE until killed. Scripts start it before `velmora -st`, which then gets
// its file the way a desktop gives it, with no dialog to type into: this
// works on X11 and Wayland alike, and without a keyboard.
// Prints "ready" once it owns the portal's name, then "OpenFile TITLE" for
// each request, one line each.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/fake_portal.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmora_test_portal FILE\n");
    return 2;
  }
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address == nullptr || *address == '\0') {
    std::fprintf(stderr, "velmora_test_portal: no session bus (DBUS_SESSION_BUS_ADDRESS is not set)\n");
    return 2;
  }
  // A relative name is taken from the current folder, as a shell would.
  gchar* absolute = g_canonicalize_filename(argv[1], nullptr);
  GError* error = nullptr;
  gchar* uri = g_filename_to_uri(absolute, nullptr, &error);
  g_free(absolute);
  if (uri == nullptr) {
    std::fprintf(stderr, "velmora_test_portal: %s\n", error->message);
    g_error_free(error);
    return 2;
  }
  velmora::testing::FileChooserAnswer answer{0, uri};
  g_free(uri);
  const int code = velmora::testing::ServeFileChooserPortal(
      address, answer,
      [] {
        std::puts("ready");
        std::fflush(stdout);
      },
      [](const std::string& title) {
        std::printf("OpenFile %s\n", title.c_str());
        std::fflush(stdout);
      });
  if (code != 0) std::fprintf(stderr, "velmora_test_portal: cannot own org.freedesktop.portal.Desktop on %s\n", address);
  return code;
}
