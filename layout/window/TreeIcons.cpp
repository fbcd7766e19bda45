// Icons of the layout tree: the folder pair at positions 0 and 1, and one
// icon per file type from the desktop's icon theme, each added once.
#include <wx/artprov.h>
#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/log.h>
#include <wx/mimetype.h>

#include <cctype>

#include "layout/window/DropTreeCtrl.h"

namespace {

constexpr int ICON_SIZE = 16;

wxBitmap Scaled(const wxImage& image) {
  if (image.GetWidth() == ICON_SIZE && image.GetHeight() == ICON_SIZE) return wxBitmap(image);
  return wxBitmap(image.Scale(ICON_SIZE, ICON_SIZE, wxIMAGE_QUALITY_HIGH));
}

wxBitmap ArtIcon(const wxArtID& id) {
  const wxBitmap bitmap = wxArtProvider::GetBitmap(id, wxART_OTHER, wxSize(ICON_SIZE, ICON_SIZE));
  if (!bitmap.IsOk()) return Scaled(wxImage(ICON_SIZE, ICON_SIZE));
  return Scaled(bitmap.ConvertToImage());
}

// The file type of a path: its extension in lower case, "" when it has none.
std::string FileTypeOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// The theme names its largest icon; its 16-pixel version, where the theme
// has one, needs no scaling.
wxString SmallVersion(const wxString& iconFile) {
  wxString small = iconFile;
  if (small.Replace(wxT("/512x512/"), wxT("/16x16/")) == 1 && wxFileExists(small)) return small;
  return iconFile;
}

// The theme's icon for a file type; not IsOk() when the theme has none.
wxBitmap FileTypeIcon(const std::string& type) {
  if (type.empty()) return wxBitmap();
  wxLogNull quiet;  // a type the theme cannot draw just takes the generic icon
  std::unique_ptr<wxFileType> fileType(
      wxTheMimeTypesManager->GetFileTypeFromExtension(wxString::FromUTF8(type)));
  wxIconLocation location;
  wxImage image;
  if (fileType && fileType->GetIcon(&location) && location.IsOk() &&
      image.LoadFile(SmallVersion(location.GetFileName())) && image.IsOk()) {
    return Scaled(image);
  }
  return wxBitmap();
}

}  // namespace

constexpr int GENERIC_FILE_ICON = 2;

void CDropTreeCtrl::AddFolderIcons() {
  m_icons->Add(ArtIcon(wxART_FOLDER));       // 0: closed folder
  m_icons->Add(ArtIcon(wxART_FOLDER_OPEN));  // 1: open folder
  m_icons->Add(ArtIcon(wxART_NORMAL_FILE));  // 2: a file of a type without an icon
}

std::pair<int, int> CDropTreeCtrl::IconsFor(const std::string& path, bool isFolder) {
  if (isFolder) return {0, 1};
  const std::string type = FileTypeOf(path);
  const auto cached = m_iconCache.find(type);
  if (cached != m_iconCache.end()) return cached->second;
  const wxBitmap icon = FileTypeIcon(type);
  const int index = icon.IsOk() ? m_icons->Add(icon) : GENERIC_FILE_ICON;
  const std::pair<int, int> icons{index, index};
  m_iconCache.emplace(type, icons);
  return icons;
}
