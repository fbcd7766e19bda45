#include "app/AboutDialog.h"

#include <wx/statbmp.h>
#include <wx/xrc/xmlres.h>

#include <stdexcept>

#include "app/Resources.h"

AboutDialog::AboutDialog(wxWindow* parent) {
  LoadResources();
  if (!wxXmlResource::Get()->LoadDialog(this, parent, wxT("IDD_ABOUTBOX"))) {
    throw std::logic_error("About box template IDD_ABOUTBOX missing");
  }
  SetClientSize(ConvertDialogToPixels(wxSize(235, 55)));
  auto* icon = XRCCTRL(*this, "ID_ABOUT_ICON", wxStaticBitmap);
  if (!icon) throw std::logic_error("About box control ID_ABOUT_ICON missing");
  icon->SetBitmap(AppIconPicture());
}
