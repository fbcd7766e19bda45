// CMFileDialog as each command builds it (never shown: the other tests answer
// through the FileChooser).
#include "GuiFixture.h"
#include "app/window/CMFileDialog.h"
#include "common/ChooserRequests.h"
#include "app/window/LayoutApp.h"

#include <dlfcn.h>

#include <wx/frame.h>

#include <utility>

namespace {

// Cancels a file dialog after checking the window it opened over.
class ExpectFileDialogOver : public wxExpectModalBase<wxFileDialog, ExpectFileDialogOver> {
 public:
  explicit ExpectFileDialogOver(wxWindow* parent) : m_parent(parent) {}

 protected:
  int OnInvoked(wxFileDialog* dialog) const override {
    EXPECT_EQ(dialog->GetParent(), m_parent);
    return wxID_CANCEL;
  }

 private:
  wxWindow* m_parent;
};

TEST(FileDialog, TheProgramsFileDialogsOpenOverTheMainWindow) {
  const std::unique_ptr<MainDialog> window = MakeMainWindow(PlacesInFolder(wxGetCwd().utf8_string()));
  window->Show();  // a dialog takes a parent that is on screen
  // Without a parent of its own it would go over the top window: another one.
  wxFrame* other = new wxFrame(nullptr, wxID_ANY, "other");
  other->Show();
  wxWindow* const top = wxTheApp->GetTopWindow();
  wxTheApp->SetTopWindow(other);
  other->Raise();
  other->SetFocus();
  wxTEST_DIALOG(window->OnLoad(), ExpectFileDialogOver(window.get()));
  wxTheApp->SetTopWindow(top);
  other->Destroy();
}

// What GTK's file chooser decides a listing with, looked up at run time: the
// tests are built without GTK's headers.
struct GtkFileFilterInfo {
  int contains;  // GTK_FILE_FILTER_FILENAME 1 | GTK_FILE_FILTER_DISPLAY_NAME 4
  const char* filename;
  const char* uri;
  const char* displayName;
  const char* mimeType;
};
struct GSList {
  void* data;
  GSList* next;
};

// For each filter of the dialog, in order: its name and the names it lists.
std::vector<std::pair<std::string, std::vector<std::string>>> Listed(
    wxFileDialog& dialog, const std::vector<std::string>& names) {
  using ListFilters = GSList* (*)(void*);
  using FilterName = const char* (*)(void*);
  using Passes = int (*)(void*, const GtkFileFilterInfo*);
  using FreeList = void (*)(GSList*);
  const auto listFilters = reinterpret_cast<ListFilters>(dlsym(RTLD_DEFAULT, "gtk_file_chooser_list_filters"));
  const auto filterName = reinterpret_cast<FilterName>(dlsym(RTLD_DEFAULT, "gtk_file_filter_get_name"));
  const auto passes = reinterpret_cast<Passes>(dlsym(RTLD_DEFAULT, "gtk_file_filter_filter"));
  const auto freeList = reinterpret_cast<FreeList>(dlsym(RTLD_DEFAULT, "g_slist_free"));
  std::vector<std::pair<std::string, std::vector<std::string>>> out;
  if (!listFilters || !filterName || !passes || !freeList) {
    ADD_FAILURE() << "GTK's file chooser calls not found";
    return out;
  }
  GSList* filters = listFilters(dialog.GetHandle());
  for (GSList* node = filters; node; node = node->next) {
    std::vector<std::string> listed;
    for (const std::string& name : names) {
      const std::string path = "/data/" + name;
      const GtkFileFilterInfo info{1 | 4, path.c_str(), nullptr, name.c_str(), nullptr};
      if (passes(node->data, &info)) listed.push_back(name);
    }
    out.emplace_back(filterName(node->data), listed);
  }
  freeList(filters);
  return out;
}

// Each command's dialog from the request it asks with: flags, title, and each
// filter's name and the files GTK lists with it (the rule is FileFilterTest's).
TEST(FileDialog, ModesFlagsFiltersAndTitles) {
  const std::vector<std::string> names = {"UP.AVI", "clip.ogm", "x.Mp3", "LAYOUT2.KBV", "a.kbvx", "README"};
  using Filters = std::vector<std::pair<std::string, std::vector<std::string>>>;
  const Filters structures = {{"kbv structure", {"LAYOUT2.KBV"}}};
  constexpr long OPEN_MANY = wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST;
  const struct {
    const char* user;
    FileDialogRequest request;
    long style;
    const char* shownTitle;
    Filters listed;
  } cases[] = {
      {"Add Files", AddFilesRequest(false), OPEN_MANY, "Open Files (Form1)", {}},
      {"Add Media Files", AddFilesRequest(true), OPEN_MANY, "Open Video/Audio Files (Form2)",
       {{"Video (ogm; avi; mpg; mpeg; rm; rmvb)", {"UP.AVI", "clip.ogm"}},
        {"Audio (ogg; mp3; wav; ac3)", {"x.Mp3"}}, {"All Files (*.*)", names}}},
      {"Save", StructureFileRequest(false), wxFD_SAVE, "Save As", structures},
      {"Load", StructureFileRequest(true), wxFD_OPEN | wxFD_FILE_MUST_EXIST, "Open", structures},
      {"image target", ImageTargetRequest(), wxFD_SAVE, "Save As", {{"Write a name WITHOUT EXTENSION", names}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.user);
    CMFileDialog dialog(c.request);
    EXPECT_EQ(dialog.GetWindowStyleFlag() & (wxFD_OPEN | wxFD_SAVE | wxFD_MULTIPLE |
                                             wxFD_FILE_MUST_EXIST | wxFD_OVERWRITE_PROMPT),
              c.style);
    EXPECT_EQ(dialog.GetMessage().utf8_string(), c.shownTitle);
    EXPECT_EQ(Listed(dialog, names), c.listed);
    if (!c.listed.empty()) {
      EXPECT_EQ(dialog.GetFilterIndex(), 0) << "the first entry is selected";
    }
  }
}

}  // namespace
