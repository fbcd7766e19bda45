#include "ScreenGrab.h"

#include <wx/window.h>

#include <memory>

#include "GuiFixture.h"

// Last: the X headers define macros (None, Bool, Status) that clash with others.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

wxImage GrabScreen(const wxRect& rect) {
  std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
  if (!display || rect.IsEmpty()) return wxImage();
  XSync(display.get(), False);
  XImage* raw = XGetImage(display.get(), DefaultRootWindow(display.get()), rect.x, rect.y,
                          static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height),
                          AllPlanes, ZPixmap);
  if (!raw) return wxImage();
  const auto destroy = [](XImage* image) { XDestroyImage(image); };
  std::unique_ptr<XImage, decltype(destroy)> image(raw, destroy);
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
  const wxImage image = GrabScreen(window->GetScreenRect());
  return image.IsOk() && image.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
}
