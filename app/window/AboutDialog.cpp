#include "app/window/AboutDialog.h"

#include <wx/xrc/xmlres.h>

#include <stdexcept>

#include "app/window/Resources.h"

AboutDialog::AboutDialog(wxWindow* parent) {
  LoadResources();
  if (!wxXmlResource::Get()->LoadDialog(this, parent, wxT("IDD_ABOUTBOX"))) {
    throw std::logic_error("About box template IDD_ABOUTBOX missing");
  }
  SetClientSize(ConvertDialogToPixels(wxSize(235, 55)));
}
