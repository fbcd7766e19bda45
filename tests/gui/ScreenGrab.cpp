#include "ScreenGrab.h"

#include <wx/window.h>

#include <memory>

// Runs the event loop until it is idle: the test harness's, or the screenshot
// program's own.
void PumpEventLoop();

// Last: the X headers define macros (None, Bool, Status) that clash with others.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using DisplayPtr = std::unique_ptr<Display, int (*)(Display*)>;

DisplayPtr OpenDisplay() { return DisplayPtr(XOpenDisplay(nullptr), XCloseDisplay); }

bool HasTitle(Display* display, Window window, const std::string& title) {
  char* name = nullptr;
  if (!XFetchName(display, window, &name) || !name) return false;
  const bool same = title == name;
  XFree(name);
  return same;
}

bool Viewable(Display* display, Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display, window, &attributes) &&
         attributes.map_state == IsViewable;
}

}  // namespace

wxImage GrabScreen(const wxRect& rect) {
  DisplayPtr display = OpenDisplay();
  if (!display || rect.IsEmpty()) return wxImage();
  XSync(display.get(), False);
  XImage* raw = XGetImage(display.get(), DefaultRootWindow(display.get()), rect.x, rect.y,
                          static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height),
                          AllPlanes, ZPixmap);
  if (!raw) return wxImage();
  std::unique_ptr<XImage, void (*)(XImage*)> image(raw, [](XImage* i) { XDestroyImage(i); });
  wxImage out(rect.width, rect.height);
  for (int y = 0; y < rect.height; ++y) {
    for (int x = 0; x < rect.width; ++x) {
      const unsigned long pixel = XGetPixel(image.get(), x, y);
      out.SetRGB(x, y, static_cast<unsigned char>((pixel & raw->red_mask) >> 16),
                 static_cast<unsigned char>((pixel & raw->green_mask) >> 8),
                 static_cast<unsigned char>(pixel & raw->blue_mask));
    }
  }
  return out;
}

wxColour ScreenPixel(const wxPoint& at) {
  const wxImage image = GrabScreen(wxRect(at, wxSize(1, 1)));
  if (!image.IsOk()) return wxColour();
  return wxColour(image.GetRed(0, 0), image.GetGreen(0, 0), image.GetBlue(0, 0));
}

bool SaveWindowShot(wxWindow* window, const std::string& path) {
  window->Raise();
  window->Update();
  PumpEventLoop();
  // The screen counts physical pixels: a scaled screen (GDK_SCALE=2) has more.
  const wxRect logical = window->GetScreenRect();
  const double scale = window->GetContentScaleFactor();
  const wxImage image = GrabScreen(wxRect(wxRound(logical.x * scale), wxRound(logical.y * scale),
                                          wxRound(logical.width * scale), wxRound(logical.height * scale)));
  return image.IsOk() && image.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
}

unsigned long FindVisibleWindow(const std::string& title) {
  DisplayPtr display = OpenDisplay();
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!display || !XQueryTree(display.get(), DefaultRootWindow(display.get()), &root, &parent, &children, &count)) {
    return 0;
  }
  unsigned long found = 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    if (Viewable(display.get(), children[i]) && HasTitle(display.get(), children[i], title)) found = children[i];
  }
  if (children) XFree(children);
  return found;
}

bool FocusWindow(unsigned long window) {
  DisplayPtr display = OpenDisplay();
  if (!display || !window) return false;
  XSetInputFocus(display.get(), window, RevertToParent, CurrentTime);
  XSync(display.get(), False);
  return true;
}

bool RequestClose(unsigned long window) {
  DisplayPtr display = OpenDisplay();
  if (!display || !window) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display.get(), window, False, NoEventMask, &event);
  XSync(display.get(), False);
  return true;
}

wxRect WindowScreenRect(unsigned long window) {
  DisplayPtr display = OpenDisplay();
  XWindowAttributes attributes{};
  if (!display || !window || !XGetWindowAttributes(display.get(), window, &attributes)) return wxRect();
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display.get(), window, DefaultRootWindow(display.get()), 0, 0, &x, &y, &child);
  return wxRect(x, y, attributes.width, attributes.height);
}
