#include "common/window/CompactEntry.h"

#include <dlfcn.h>

#include <wx/textctrl.h>

void MakeCompactEntry(wxTextCtrl& entry) {
  // The GTK calls are looked up at run time: the program uses GTK only
  // through wx and is built without its headers.
  using NewProvider = void* (*)();
  using LoadData = int (*)(void*, const char*, long, void**);
  using StyleContext = void* (*)(void*);
  using AddProvider = void (*)(void*, void*, unsigned);
  using Unref = void (*)(void*);
  const auto newProvider = reinterpret_cast<NewProvider>(dlsym(RTLD_DEFAULT, "gtk_css_provider_new"));
  const auto loadData =
      reinterpret_cast<LoadData>(dlsym(RTLD_DEFAULT, "gtk_css_provider_load_from_data"));
  const auto styleContext =
      reinterpret_cast<StyleContext>(dlsym(RTLD_DEFAULT, "gtk_widget_get_style_context"));
  const auto addProvider =
      reinterpret_cast<AddProvider>(dlsym(RTLD_DEFAULT, "gtk_style_context_add_provider"));
  const auto unref = reinterpret_cast<Unref>(dlsym(RTLD_DEFAULT, "g_object_unref"));
  if (!newProvider || !loadData || !styleContext || !addProvider || !unref) return;
  if (!entry.GetHandle()) return;
  void* provider = newProvider();
  if (!provider) return;
  static constexpr char css[] = "entry { padding-left: 2px; padding-right: 2px; }";
  // GTK_STYLE_PROVIDER_PRIORITY_APPLICATION: above the theme.
  constexpr unsigned applicationPriority = 600;
  if (loadData(provider, css, -1, nullptr)) {
    addProvider(styleContext(entry.GetHandle()), provider, applicationPriority);
  }
  unref(provider);  // the style context keeps its own reference
}
