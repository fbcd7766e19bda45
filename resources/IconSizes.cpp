// Build helper: writes the program's icon as the PNG files of the desktop
// icon theme. Usage: icon_sizes OUTDIR SIZE... writes OUTDIR/brenvoxgui-SIZE.png.
// The icon is pixel art of 32 x 32: whole multiples keep their hard pixels,
// other sizes are resampled smoothly.
#include <wx/image.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "resources/brenvox.xpm"

int main(int argc, char** argv) {
  wxInitializer framework;
  if (!framework.IsOk() || argc < 3) {
    std::fprintf(stderr, "usage: icon_sizes OUTDIR SIZE...\n");
    return 1;
  }
  wxImage::AddHandler(new wxPNGHandler);
  wxImage icon(brenvox_xpm);
  if (!icon.IsOk()) {
    std::fprintf(stderr, "icon_sizes: the icon does not decode\n");
    return 1;
  }
  icon.InitAlpha();  // the transparent colour becomes alpha, so edges blend when scaled
  const int base = icon.GetWidth();
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0) {
      std::fprintf(stderr, "icon_sizes: bad size '%s'\n", argv[i]);
      return 1;
    }
    const wxImageResizeQuality quality = size % base == 0 ? wxIMAGE_QUALITY_NEAREST
                                         : size < base     ? wxIMAGE_QUALITY_BOX_AVERAGE
                                                           : wxIMAGE_QUALITY_BICUBIC;
    wxImage scaled = icon.Scale(size, size, quality);
    scaled.SetOption(wxIMAGE_OPTION_PNG_FORMAT, wxPNG_TYPE_COLOUR);  // RGBA, never a palette
    const std::string path = std::string(argv[1]) + "/brenvoxgui-" + argv[i] + ".png";
    if (!scaled.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) {
      std::fprintf(stderr, "icon_sizes: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
