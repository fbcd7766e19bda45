// Editing the layout in place: the tree's context menu, DEL and F2, removing,
// Form 2 marking, making and renaming folders, opening a file's folder, and
// the path of the selected item in "Real Path Of Files".
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <vector>

#include "common/window/MessageBox.h"
#include "common/window/TextCodec.h"
#include "common/Texts.h"
#include "layout/window/DropTreeCtrl.h"
#include "layout/window/FolderNameDialog.h"
#include "common/window/Translation.h"

namespace {

// The entries of the context menu (resource 132), in their order; id 0 is a
// separator.
struct MenuEntry {
  int id;
  const char* text;
};
constexpr MenuEntry CONTEXT_MENU[] = {
    {IDM_MAKE_FOLDER, MENU_MAKE_FOLDER},
    {IDM_SET_FORM2, MENU_SET_FORM2},
    {IDM_BROWSE_FOLDER, MENU_BROWSE_FOLDER},
    {IDM_RENAME, MENU_RENAME},
    {0, nullptr},
    {IDM_REMOVE, MENU_REMOVE},
    {0, nullptr},
    {IDM_REMOVE_ALL, MENU_REMOVE_ALL},
};

// Opens a folder in the desktop's file manager, the folder as its own
// argument (no shell). A start failure is not reported.
void OpenInFileManager(const std::string& folder) {
  const std::vector<std::string> argv{"xdg-open", folder};
  std::vector<const char*> args;
  for (const auto& a : argv) args.push_back(a.c_str());
  args.push_back(nullptr);
  wxExecute(const_cast<char**>(args.data()), wxEXEC_ASYNC);
}

}  // namespace

wxTreeItemId CDropTreeCtrl::SelectedItem() const {
  const wxTreeItemId item = GetSelection();
  if (!item.IsOk() || item == GetRootItem()) return wxTreeItemId();
  return item;
}

// ---- the context menu ----

void CDropTreeCtrl::OnRButtonDown(wxMouseEvent& event) {
  // The tree's own right-button handling is not run. GTK turns the second of
  // two quick presses into a double click, which opens the menu as well.
  ClearHint();
  SetFocus();
  OpenContextMenu(event.GetPosition());
}

void CDropTreeCtrl::OnContextMenuEvent(wxContextMenuEvent& event) {
  // GTK sends this for Shift+F10 with no position. A right press opens the
  // menu itself and is not passed on, so a positioned event is not the tree's.
  if (event.GetPosition() != wxDefaultPosition) {
    event.Skip();
    return;
  }
  OpenContextMenuAtSelection();
}

void CDropTreeCtrl::OpenContextMenuAtSelection() {
  // From the keyboard: at the selected item, else at the top left with no
  // target, with the entries a right click there gives.
  ClearHint();
  m_menuItem = SelectedItem();
  wxPoint at(0, 0);
  wxRect row;
  if (m_menuItem.IsOk()) {
    EnsureVisible(m_menuItem);
    if (GetBoundingRect(m_menuItem, row, true)) at = row.GetBottomLeft();
  }
  PresentContextMenu(at);
}

wxTreeItemId CDropTreeCtrl::SelectMenuItemAt(const wxPoint& point) {
  m_menuItem = LayoutItemAt(point);
  if (m_menuItem.IsOk()) {
    SelectItem(m_menuItem);
  } else {
    Unselect();
  }
  return m_menuItem;
}

void CDropTreeCtrl::OpenContextMenu(const wxPoint& point) {
  SelectMenuItemAt(point);
  PresentContextMenu(point);
}

void CDropTreeCtrl::PresentContextMenu(const wxPoint& at) {
  m_menuPoint = at;
  std::unique_ptr<wxMenu> menu = MakeContextMenu(m_menuItem);
  if (m_presentMenu) {
    m_presentMenu(*menu);
  } else {
    PopupMenu(menu.get(), at);  // commands come back to OnMenuCommand
  }
}

std::unique_ptr<wxMenu> CDropTreeCtrl::MakeContextMenu(wxTreeItemId item) const {
  auto menu = std::make_unique<wxMenu>();
  const MenuOffer offer = MenuOfferFor(*m_model, ItemIndex(item));
  const std::map<int, bool> states = {
      {IDM_MAKE_FOLDER, true},
      {IDM_SET_FORM2, offer.setForm2},
      {IDM_BROWSE_FOLDER, offer.browseFolder},
      {IDM_RENAME, offer.rename},
      {IDM_REMOVE, offer.remove},
      {IDM_REMOVE_ALL, true},
  };
  for (const MenuEntry& entry : CONTEXT_MENU) {
    if (entry.id == 0) {
      menu->AppendSeparator();
      continue;
    }
    menu->Append(entry.id, Tr(entry.text));
    menu->Enable(entry.id, states.at(entry.id));
  }
  if (m_namesAvailable) {
    menu->AppendSeparator();
    menu->Append(IDM_NAMES, Tr(MENU_NAMES));
    menu->Enable(IDM_NAMES, m_namesAvailable());
  }
  if (m_openImage) {
    if (!m_namesAvailable) menu->AppendSeparator();
    menu->Append(IDM_OPEN_IMAGE, Tr(MENU_OPEN_IMAGE));
    menu->Enable(IDM_OPEN_IMAGE, !m_openImageAvailable || m_openImageAvailable());
  }
  return menu;
}

void CDropTreeCtrl::OnMenuCommand(wxCommandEvent& event) {
  RunMenuCommand(event.GetId());
}

void CDropTreeCtrl::RunMenuCommand(int id) {
  switch (id) {
    case IDM_REMOVE: RemoveItem(m_menuItem, true); break;
    case IDM_REMOVE_ALL: RemoveAll(); break;
    case IDM_SET_FORM2: ToggleForm2(m_menuItem); break;
    case IDM_RENAME: RenameFolder(m_menuItem); break;
    case IDM_MAKE_FOLDER: MakeFolder(m_menuItem, false); break;
    case IDM_BROWSE_FOLDER: BrowseFileFolder(m_menuItem); break;
    case IDM_NAMES:
      if (m_openNames) m_openNames();
      break;
    case IDM_OPEN_IMAGE:
      if (m_openImage) m_openImage();
      break;
    default: break;
  }
}

// ---- keys and selection ----

void CDropTreeCtrl::OnKeyDown(wxTreeEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE: RemoveItem(SelectedItem(), true); break;
    case WXK_F2: RenameFolder(SelectedItem()); break;
    case WXK_MENU:
    case WXK_WINDOWS_MENU:
      // Handled here, so GTK does not also raise a context menu event for it.
      OpenContextMenuAtSelection();
      return;
    case WXK_F10:
      if (event.GetKeyEvent().GetModifiers() != wxMOD_SHIFT) break;
      OpenContextMenuAtSelection();
      return;
    case '-':
    case WXK_SUBTRACT:
      // With nothing selected the tree's current item is its hidden root,
      // which cannot be collapsed: the key has nothing to act on.
      if (!SelectedItem().IsOk()) return;
      break;
    default: break;
  }
  event.Skip();  // keys keep their ordinary handling
}

void CDropTreeCtrl::OnSelChanged(wxTreeEvent& event) {
  event.Skip();
  // The hidden root is selected by the tree itself when nothing else is:
  // for the layout that is no selection, and the text stays as it was.
  const int index = ItemIndex(event.GetItem());
  if (index > 0 && m_pathDisplay) m_pathDisplay->ChangeValue(ToDisplay(ItemPath(index)));
}

// ---- the commands ----

void CDropTreeCtrl::RemoveItem(wxTreeItemId item, bool focusRemoveButton) {
  if (focusRemoveButton && m_removeButton) m_removeButton->SetFocus();
  if (!item.IsOk() || item == GetRootItem()) return;
  // The item to select is selected first: the tree would otherwise pick the
  // parent of a deleted selection on its own.
  const wxTreeItemId previous = ItemOf(SelectionAfterRemove(*m_model, ItemIndex(item)));
  if (previous.IsOk()) {
    SelectItem(previous);
  } else {
    Unselect();
  }
  ::RemoveItem(*m_model, ItemIndex(item));
  SetFocus();
}

void CDropTreeCtrl::RemoveAll() {
  Unselect();
  ::RemoveAll(*m_model);
  if (m_pathDisplay) m_pathDisplay->Clear();
}

void CDropTreeCtrl::ToggleForm2(wxTreeItemId item) {
  const int index = ItemIndex(item);
  if (index <= 0) return;
  if (!Form2ChangesSubtree(*m_model, index) ||
      AskYesNo(Tr(MSG_APPLY_FORM2_RECURSIVELY), wxGetTopLevelParent(this))) {
    ::ToggleForm2(*m_model, index);
  }
  SetFocus();
  SelectItem(item);
}

void CDropTreeCtrl::RenameFolder(wxTreeItemId item) {
  const int index = ItemIndex(item);
  if (index <= 0 || !IsFolder(index)) return;
  CFolderName dialog(wxGetTopLevelParent(this), ItemPath(index));
  if (dialog.ShowModal() != wxID_OK) return;
  if (::RenameFolder(*m_model, index, dialog.Name()) && m_pathDisplay) {
    m_pathDisplay->ChangeValue(ToDisplay(dialog.Name()));
  }
}

// target: the menu's item (a folder takes the new folder, a file's folder
// takes it, none means the top level); the button passes none.
void CDropTreeCtrl::MakeFolder(wxTreeItemId target, bool fromButton) {
  if (fromButton) ClearHint();
  CFolderName dialog(wxGetTopLevelParent(this));
  if (dialog.ShowModal() != wxID_OK) return;
  const int parent = fromButton ? LayoutModel::TOP_LEVEL : ReceivingFolder(*m_model, ItemIndex(target));
  ::MakeFolder(*m_model, dialog.Name(), parent);
}

void CDropTreeCtrl::BrowseFileFolder(wxTreeItemId item) {
  const int index = ItemIndex(item);
  if (index <= 0 || IsFolder(index)) return;
  OpenInFileManager(::FileFolderOf(*m_model, index));
}
