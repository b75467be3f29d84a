/* x_probe: looks at a window on an X display from outside, as a desktop does.
 *
 *   x_probe wait-wm                  waits (at most 10 s) for a window manager
 *   x_probe ping WINDOW              sends _NET_WM_PING; exits 0 when the window
 *                                    answers within 1 s, printing how soon
 *   x_probe sync WINDOW              returns once the window's program has handled
 *                                    every input event sent before (two pings in
 *                                    turn: Qt answers a ping as it reads it, and
 *                                    hands the input read with it to its widgets
 *                                    before it reads the next); at most 20 s
 *   x_probe keys TEXT                gives each character of TEXT that no key
 *                                    types a spare key of its own, for good (xdotool
 *                                    would map one for each keystroke and map it
 *                                    back, while the program may still be reading
 *                                    the map: the character comes out wrong)
 *   x_probe shot WINDOW FILE.ppm     writes what the window shows, as a PPM image
 *   x_probe cover WINDOW X Y RRGGBB  lays another window over it for 0.3 s,
 *                                    takes it away, and exits 0 when the pixel
 *                                    (X, Y) shows RRGGBB again within 1 s: the
 *                                    window repainted what was covered
 *
 * WINDOW is an X window id (decimal or 0x hex), as xdotool prints it.
 * Exits 1 when the check fails, 2 on a usage or display error. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static void Sleep(double seconds) {
  struct timespec t = {(time_t)seconds, (long)((seconds - (double)(time_t)seconds) * 1e9)};
  nanosleep(&t, NULL);
}

/* Waits until an event is queued or `deadline` passes; returns 0 at the deadline. */
static int WaitForEvent(Display* display, double deadline) {
  while (XPending(display) == 0) {
    const double left = deadline - Now();
    if (left <= 0) return 0;
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(ConnectionNumber(display), &fds);
    struct timeval tv = {(time_t)left, (suseconds_t)((left - (double)(time_t)left) * 1e6)};
    select(ConnectionNumber(display) + 1, &fds, NULL, NULL, &tv);
  }
  return 1;
}

static int WaitWm(Display* display) {
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  for (const double deadline = Now() + 10; Now() < deadline; Sleep(0.1)) {
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = NULL;
    if (XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &items, &after, &data) == Success &&
        data != NULL) {
      XFree(data);
      if (items == 1) return 0;
    }
  }
  fprintf(stderr, "x_probe: no window manager appeared\n");
  return 1;
}

static int Advertises(Display* display, Window window, Atom protocol) {
  Atom* protocols = NULL;
  int count = 0;
  int found = 0;
  if (XGetWMProtocols(display, window, &protocols, &count)) {
    for (int i = 0; i < count; ++i) found |= protocols[i] == protocol;
    XFree(protocols);
  }
  return found;
}

/* Pings `window` and waits at most `timeout` seconds for the answer; returns
 * how many milliseconds it took, or -1 without an answer. */
static double PingOnce(Display* display, Window window, double timeout) {
  const Atom wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
  const Window root = DefaultRootWindow(display);
  /* The answer goes to the root window, to whoever listens there (clients send
   * it with StructureNotify or SubstructureNotify). */
  XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);
  static long stamp = 4242;
  ++stamp;
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = wm_protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)ping;
  event.xclient.data.l[1] = stamp;
  event.xclient.data.l[2] = (long)window;
  const double sent = Now();
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  while (WaitForEvent(display, sent + timeout)) {
    XNextEvent(display, &event);
    if (event.type == ClientMessage && event.xclient.window == root &&
        (Atom)event.xclient.data.l[0] == ping && event.xclient.data.l[1] == stamp)
      return (Now() - sent) * 1000;
  }
  return -1;
}

static int Ping(Display* display, Window window, int sync) {
  if (!Advertises(display, window, XInternAtom(display, "_NET_WM_PING", False))) {
    fprintf(stderr, "x_probe: the window does not take _NET_WM_PING\n");
    return 1;
  }
  if (sync) {
    if (PingOnce(display, window, 20) >= 0 && PingOnce(display, window, 20) >= 0) return 0;
    fprintf(stderr, "x_probe: the window did not answer two pings within 20 s\n");
    return 1;
  }
  const double took = PingOnce(display, window, 1.0);
  if (took >= 0) {
    printf("x_probe: the window answered the ping in %.0f ms\n", took);
    return 0;
  }
  fprintf(stderr, "x_probe: the window did not answer the ping within 1 s\n");
  return 1;
}

/* The code point of the UTF-8 sequence at *text, moving past it; 0 at the end. */
static unsigned long NextCodePoint(const unsigned char** text) {
  const unsigned char* p = *text;
  if (*p == 0) return 0;
  int extra = *p >= 0xF0 ? 3 : *p >= 0xE0 ? 2 : *p >= 0xC0 ? 1 : 0;
  unsigned long c = *p++ & (0x3F >> extra);
  while (extra-- > 0 && (*p & 0xC0) == 0x80) c = c << 6 | (*p++ & 0x3F);
  *text = p;
  return c;
}

static int BindKeys(Display* display, const char* text) {
  int min, max, per;
  XDisplayKeycodes(display, &min, &max);
  KeySym* map = XGetKeyboardMapping(display, (KeyCode)min, max - min + 1, &per);
  if (map == NULL) return 2;
  int code = max;
  for (const unsigned char* p = (const unsigned char*)text; *p != 0;) {
    const unsigned long c = NextCodePoint(&p);
    /* Latin-1 keysyms are the code points; the rest of Unicode is 0x1000000 above. */
    const KeySym sym = c < 0x100 ? c : 0x1000000 | c;
    if (XKeysymToKeycode(display, sym) != 0) continue;
    for (;; --code) { /* a key with nothing on it */
      if (code < min) {
        fprintf(stderr, "x_probe: no spare key left\n");
        XFree(map);
        return 1;
      }
      int used = 0;
      for (int i = 0; i < per; ++i) used |= map[(code - min) * per + i] != NoSymbol;
      if (!used) break;
    }
    KeySym syms[2] = {sym, sym};
    XChangeKeyboardMapping(display, code, 2, syms, 1);
    map[(code - min) * per] = sym;
    XSync(display, False);
  }
  XFree(map);
  return 0;
}

static XImage* Grab(Display* display, Window window, int x, int y, unsigned w, unsigned h) {
  return XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap);
}

static unsigned long Rgb(XImage* image, int x, int y) {
  const unsigned long p = XGetPixel(image, x, y);
  /* TrueColor masks: scale each channel to 8 bits. */
  unsigned long rgb = 0;
  const unsigned long masks[3] = {image->red_mask, image->green_mask, image->blue_mask};
  for (int c = 0; c < 3; ++c) {
    unsigned long mask = masks[c], v = p & mask;
    while (mask != 0 && (mask & 1) == 0) {
      mask >>= 1;
      v >>= 1;
    }
    rgb = rgb << 8 | (mask == 0 ? 0 : v * 255 / mask);
  }
  return rgb;
}

static int Shot(Display* display, Window window, const char* path) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(display, window, &a)) return 2;
  XImage* image = Grab(display, window, 0, 0, (unsigned)a.width, (unsigned)a.height);
  if (image == NULL) {
    fprintf(stderr, "x_probe: could not read the window's pixels\n");
    return 1;
  }
  FILE* out = fopen(path, "wb");
  if (out == NULL) {
    perror(path);
    XDestroyImage(image);
    return 2;
  }
  fprintf(out, "P6\n%d %d\n255\n", a.width, a.height);
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const unsigned long rgb = Rgb(image, x, y);
      const unsigned char px[3] = {(unsigned char)(rgb >> 16), (unsigned char)(rgb >> 8),
                                   (unsigned char)rgb};
      fwrite(px, 1, 3, out);
    }
  }
  XDestroyImage(image);
  return fclose(out) == 0 ? 0 : 2;
}

static int Cover(Display* display, Window window, int x, int y, unsigned long expected) {
  XWindowAttributes a;
  Window child;
  int root_x, root_y;
  if (!XGetWindowAttributes(display, window, &a) ||
      !XTranslateCoordinates(display, window, a.root, 0, 0, &root_x, &root_y, &child))
    return 2;
  XSetWindowAttributes set;
  set.override_redirect = True;
  set.background_pixel = 0xFF00FF; /* magenta: a colour the window never shows */
  const Window cover = XCreateWindow(display, a.root, root_x, root_y, (unsigned)a.width,
                                     (unsigned)a.height, 0, CopyFromParent, InputOutput,
                                     CopyFromParent, CWOverrideRedirect | CWBackPixel, &set);
  XMapRaised(display, cover);
  XSync(display, False);
  Sleep(0.3);
  XDestroyWindow(display, cover);
  XSync(display, False);
  unsigned long seen = 0;
  for (const double deadline = Now() + 1.0; Now() < deadline; Sleep(0.02)) {
    XImage* image = Grab(display, window, x, y, 1, 1);
    if (image == NULL) continue;
    seen = Rgb(image, 0, 0);
    XDestroyImage(image);
    if (seen == expected) {
      printf("x_probe: repainted after being covered\n");
      return 0;
    }
  }
  fprintf(stderr, "x_probe: (%d, %d) shows %06lx, not %06lx, 1 s after being uncovered\n", x, y,
          seen, expected);
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr,
            "usage: x_probe wait-wm | ping WINDOW | sync WINDOW | keys TEXT | shot WINDOW FILE |"
            " cover WINDOW X Y RRGGBB\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "x_probe: cannot open the display\n");
    return 2;
  }
  const Window window =
      argc > 2 && strcmp(argv[1], "keys") != 0 ? (Window)strtoul(argv[2], NULL, 0) : None;
  int status = 2;
  if (strcmp(argv[1], "wait-wm") == 0 && argc == 2) {
    status = WaitWm(display);
  } else if (strcmp(argv[1], "ping") == 0 && argc == 3) {
    status = Ping(display, window, 0);
  } else if (strcmp(argv[1], "sync") == 0 && argc == 3) {
    status = Ping(display, window, 1);
  } else if (strcmp(argv[1], "keys") == 0 && argc == 3) {
    status = BindKeys(display, argv[2]);
  } else if (strcmp(argv[1], "shot") == 0 && argc == 4) {
    status = Shot(display, window, argv[3]);
  } else if (strcmp(argv[1], "cover") == 0 && argc == 6) {
    status = Cover(display, window, atoi(argv[3]), atoi(argv[4]), strtoul(argv[5], NULL, 16));
  } else {
    fprintf(stderr, "x_probe: unknown command or wrong arguments\n");
  }
  XCloseDisplay(display);
  return status;
}
