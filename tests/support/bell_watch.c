/* Prints "bell" and flushes each time a client of the X server rings its
 * bell (XkbBellNotify), so that a test can see a beep that no one hears:
 * Wine turns MessageBeep into XBell. Runs until killed.
 *   cc -o bell_watch bell_watch.c -lX11 */
#include <X11/XKBlib.h>
#include <stdio.h>

int main(void) {
  int event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  Display* display = XkbOpenDisplay(NULL, &event, &error, &major, &minor, NULL);
  if (display == NULL) {
    fprintf(stderr, "bell_watch: no X server with XKB\n");
    return 1;
  }
  XkbSelectEvents(display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
  printf("ready\n");
  fflush(stdout);
  for (;;) {
    XEvent e;
    XNextEvent(display, &e);
    if (e.type == event && ((XkbEvent*)&e)->any.xkb_type == XkbBellNotify) {
      printf("bell\n");
      fflush(stdout);
    }
  }
}
