// The layout tree control and its item store: construction, the store's
// entries, ResetTree, FindFolder, the Form 2 display rule and the wiring of
// the tree's event handlers.
#include "layout/DropTreeCtrl.h"

#include <wx/button.h>
#include <wx/imaglist.h>
#include <wx/textctrl.h>

wxIMPLEMENT_DYNAMIC_CLASS(CDropTreeCtrl, wxTreeCtrl);

namespace {

// The data of every tree item: its index into the store.
class ItemIndexData : public wxTreeItemData {
 public:
  explicit ItemIndexData(int index) : m_index(index) {}
  int Index() const { return m_index; }

 private:
  int m_index;
};

}  // namespace

CDropTreeCtrl::CDropTreeCtrl() { Init(); }

CDropTreeCtrl::CDropTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                             const wxSize& size, long style)
    : wxTreeCtrl(parent, id, pos, size, style) {
  Init();
}

CDropTreeCtrl::~CDropTreeCtrl() {
  // The image list is ours; the tree must not keep a pointer to it.
  SetImageList(nullptr);
}

void CDropTreeCtrl::Init() {
  m_itemPath.assign(MAX_ITEMS, std::string());
  m_isFolder.assign(MAX_ITEMS, 0);
  m_isForm2.assign(MAX_ITEMS, 0);
  BindEvents();
}

void CDropTreeCtrl::BindEvents() {
  Bind(wxEVT_PAINT, &CDropTreeCtrl::OnPaint, this);
  Bind(wxEVT_RIGHT_DOWN, &CDropTreeCtrl::OnRButtonDown, this);
  Bind(wxEVT_TREE_KEY_DOWN, &CDropTreeCtrl::OnKeyDown, this);
  Bind(wxEVT_TREE_SEL_CHANGED, &CDropTreeCtrl::OnSelChanged, this);
  Bind(wxEVT_MOTION, &CDropTreeCtrl::OnMouseMove, this);
  Bind(wxEVT_TREE_BEGIN_DRAG, &CDropTreeCtrl::OnBeginDrag, this);
  Bind(wxEVT_LEFT_UP, &CDropTreeCtrl::OnLButtonUp, this);
  Bind(wxEVT_DROP_FILES, &CDropTreeCtrl::OnDropFiles, this);
  Bind(wxEVT_MENU, &CDropTreeCtrl::OnMenuCommand, this, IDM_TREE_MENU, IDM_BROWSE_FOLDER);
}

void CDropTreeCtrl::Attach(wxTextCtrl* pathDisplay, wxButton* removeButton) {
  m_pathDisplay = pathDisplay;
  m_removeButton = removeButton;
  DragAcceptFiles(true);
}

void CDropTreeCtrl::ResetTree() {
  CancelDrag();  // the dragged item goes with the old layout, and so does the capture
  DeleteAllItems();
  AddRoot(wxString());
  SetImageList(nullptr);
  m_iconCache.clear();
  m_icons = std::make_unique<wxImageList>(16, 16, true, 50);
  AddFolderIcons();
  SetImageList(m_icons.get());
  m_dragItem = wxTreeItemId();
  // Entries of earlier indices are released; each index is handed out anew.
  m_itemPath.assign(MAX_ITEMS, std::string());
  m_isFolder.assign(MAX_ITEMS, 0);
  m_isForm2.assign(MAX_ITEMS, 0);
  m_itemCount = 1;
}

int CDropTreeCtrl::AddStoreEntry(const std::string& path, bool isFolder) {
  if (IsFull()) return 0;
  const int index = m_itemCount++;
  m_itemPath[index] = path;
  m_isFolder[index] = isFolder ? 1 : 0;
  m_isForm2[index] = 0;
  return index;
}

void CDropTreeCtrl::SetItemIndex(const wxTreeItemId& item, int index) {
  SetItemData(item, new ItemIndexData(index));
}

int CDropTreeCtrl::ItemIndex(const wxTreeItemId& item) const {
  if (!item.IsOk()) return 0;
  const auto* data = dynamic_cast<const ItemIndexData*>(GetItemData(item));
  return data ? data->Index() : 0;
}

bool CDropTreeCtrl::IsFolderItem(const wxTreeItemId& item) const {
  const int index = ItemIndex(item);
  return index > 0 && IsFolder(index);
}

wxTreeItemId CDropTreeCtrl::ParentOf(const wxTreeItemId& item) const {
  if (!item.IsOk()) return wxTreeItemId();
  const wxTreeItemId parent = GetItemParent(item);
  return parent == GetRootItem() ? wxTreeItemId() : parent;
}

wxTreeItemId CDropTreeCtrl::FindFolder(const std::string& name, wxTreeItemId first) const {
  for (wxTreeItemId item = first; item.IsOk(); item = GetNextSibling(item)) {
    const int index = ItemIndex(item);
    if (index > 0 && IsFolder(index) && m_itemPath[index] == name) return item;
  }
  return wxTreeItemId();
}

void CDropTreeCtrl::MarkForm2(const wxTreeItemId& item) {
  SetForm2(item, true);
}

void CDropTreeCtrl::SetForm2(const wxTreeItemId& item, bool form2) {
  const int index = ItemIndex(item);
  if (index <= 0) return;
  m_isForm2[index] = form2 ? 1 : 0;
  // Only files are shown in bold.
  SetItemBold(item, form2 && !IsFolder(index));
}

void CDropTreeCtrl::ClearHint() {
  m_showHint = false;
  RedrawNow();
}

void CDropTreeCtrl::RedrawNow() {
  Refresh(true);
  Update();
}
