// The layout tree control: construction, the map from layout indices to tree
// items, and showing what the model says (insertions, removals, moves, Form 2
// marks, renames) as it says it.
#include "layout/window/DropTreeCtrl.h"

#include <wx/button.h>
#include <wx/imaglist.h>
#include <wx/textctrl.h>

#include "common/window/MessageBox.h"
#include "common/window/TextCodec.h"
#include "common/window/Translation.h"

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
  if (m_model) m_model->SetObserver(nullptr);
  // The image list is ours; the tree must not keep a pointer to it.
  SetImageList(nullptr);
}

void CDropTreeCtrl::Init() {
  BindEvents();
}

void CDropTreeCtrl::BindEvents() {
  Bind(wxEVT_PAINT, &CDropTreeCtrl::OnPaint, this);
  Bind(wxEVT_RIGHT_DOWN, &CDropTreeCtrl::OnRButtonDown, this);
  Bind(wxEVT_RIGHT_DCLICK, &CDropTreeCtrl::OnRButtonDown, this);
  Bind(wxEVT_CONTEXT_MENU, &CDropTreeCtrl::OnContextMenuEvent, this);
  Bind(wxEVT_TREE_KEY_DOWN, &CDropTreeCtrl::OnKeyDown, this);
  Bind(wxEVT_TREE_SEL_CHANGED, &CDropTreeCtrl::OnSelChanged, this);
  Bind(wxEVT_MOTION, &CDropTreeCtrl::OnMouseMove, this);
  Bind(wxEVT_TREE_ITEM_GETTOOLTIP, &CDropTreeCtrl::OnGetToolTip, this);
  Bind(wxEVT_TREE_BEGIN_DRAG, &CDropTreeCtrl::OnBeginDrag, this);
  Bind(wxEVT_LEFT_DOWN, &CDropTreeCtrl::OnLButtonDown, this);
  Bind(wxEVT_LEFT_UP, &CDropTreeCtrl::OnLButtonUp, this);
  Bind(wxEVT_DROP_FILES, &CDropTreeCtrl::OnDropFiles, this);
  Bind(wxEVT_MENU, &CDropTreeCtrl::OnMenuCommand, this, IDM_TREE_MENU, IDM_OPEN_IMAGE);
}

void CDropTreeCtrl::Attach(LayoutModel& model, wxTextCtrl* pathDisplay, wxButton* removeButton) {
  if (m_model) m_model->SetObserver(nullptr);
  m_model = &model;
  m_model->SetObserver(this);
  m_pathDisplay = pathDisplay;
  m_removeButton = removeButton;
  DragAcceptFiles(true);
  ResetTree();
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
  m_treeItems.assign(MAX_ITEMS, wxTreeItemId());
  m_treeItems[LayoutModel::TOP_LEVEL] = GetRootItem();
  m_model->Reset();
}

wxTreeItemId CDropTreeCtrl::ItemOf(int index) const {
  if (index <= 0 || index >= MAX_ITEMS) return wxTreeItemId();
  return m_treeItems[static_cast<std::size_t>(index)];
}

int CDropTreeCtrl::ItemIndex(const wxTreeItemId& item) const {
  if (!item.IsOk()) return 0;
  const auto* data = dynamic_cast<const ItemIndexData*>(GetItemData(item));
  return data ? data->Index() : 0;
}

bool CDropTreeCtrl::IsFolderItem(const wxTreeItemId& item) const {
  return IsFolder(ItemIndex(item));
}

wxTreeItemId CDropTreeCtrl::ParentOf(const wxTreeItemId& item) const {
  if (!item.IsOk()) return wxTreeItemId();
  const wxTreeItemId parent = GetItemParent(item);
  return parent == GetRootItem() ? wxTreeItemId() : parent;
}

void CDropTreeCtrl::ShowReport(const InsertReport& report) {
  if (report.passedOver.count == 0) return;
  ShowMessage(wxString::Format(TrPlural(MSG_NOT_ADDED, report.passedOver.count),
                               static_cast<unsigned long>(report.passedOver.count),
                               ToDisplay(report.passedOver.first)),
              wxGetTopLevelParent(this));
}

void CDropTreeCtrl::ClearHint() {
  m_showHint = false;
  RedrawNow();
}

void CDropTreeCtrl::RedrawNow() {
  Refresh(true);
  Update();
}

// ---- what the model says ----

void CDropTreeCtrl::OnInserted(int index, int parent, std::size_t place) {
  const bool isFolder = m_model->IsFolder(index);
  const auto [icon, openIcon] = IconsFor(m_model->ItemPath(index), isFolder);
  const wxTreeItemId parentItem = m_treeItems[static_cast<std::size_t>(parent)];
  const wxString label = ToDisplay(m_model->Label(index));
  const wxTreeItemId item =
      place + 1 == m_model->ChildrenOf(parent).size()
          ? AppendItem(parentItem, label, icon, openIcon)
          : InsertItem(parentItem, place, label, icon, openIcon);
  SetItemData(item, new ItemIndexData(index));
  m_treeItems[static_cast<std::size_t>(index)] = item;
  TellLayoutChanged(false);
}

void CDropTreeCtrl::ForgetItems(int index) {
  std::vector<int> pending{index};
  while (!pending.empty()) {
    const int at = pending.back();
    pending.pop_back();
    m_treeItems[static_cast<std::size_t>(at)] = wxTreeItemId();
    const std::vector<int>& children = m_model->ChildrenOf(at);
    pending.insert(pending.end(), children.begin(), children.end());
  }
}

void CDropTreeCtrl::OnRemoving(int index) {
  // A drag whose item goes with this subtree (DEL during the drag) ends here.
  if (m_dragging && m_model->IsInSubtree(ItemIndex(m_dragItem), index)) CancelDrag();
  const wxTreeItemId item = ItemOf(index);
  ForgetItems(index);
  if (item.IsOk()) Delete(item);
  if (GetCount() == 0 && m_pathDisplay) m_pathDisplay->Clear();
  TellLayoutChanged(false);  // the listener looks at the layout later, once it is gone
}

void CDropTreeCtrl::OnMoved(int index, int newParent) {
  const wxTreeItemId item = ItemOf(index);
  if (!item.IsOk()) return;
  Freeze();
  const wxTreeItemId copy = CopyItem(item, m_treeItems[static_cast<std::size_t>(newParent)]);
  // Children are copied in their order, each level after the one above it.
  std::vector<std::pair<wxTreeItemId, wxTreeItemId>> pending{{item, copy}};
  while (!pending.empty()) {
    const auto [source, target] = pending.back();
    pending.pop_back();
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(source, cookie); child.IsOk();
         child = GetNextChild(source, cookie)) {
      pending.emplace_back(child, CopyItem(child, target));
    }
  }
  Unselect();  // so that the tree does not pick a new selection of its own
  Delete(item);
  Thaw();
  TellLayoutChanged(false);
}

wxTreeItemId CDropTreeCtrl::CopyItem(wxTreeItemId item, wxTreeItemId newParent) {
  const wxTreeItemId copy = AppendItem(newParent, GetItemText(item), GetItemImage(item),
                                       GetItemImage(item, wxTreeItemIcon_Selected));
  const int index = ItemIndex(item);
  SetItemData(copy, new ItemIndexData(index));
  if (index > 0) m_treeItems[static_cast<std::size_t>(index)] = copy;
  // A folder whose own flag is set is bold at its new place too.
  if (index > 0 && IsForm2(index)) SetItemBold(copy, true);
  return copy;
}

void CDropTreeCtrl::OnForm2Changed(int index) {
  const wxTreeItemId item = ItemOf(index);
  // Only files are shown in bold.
  if (item.IsOk()) SetItemBold(item, IsForm2(index) && !IsFolder(index));
  TellLayoutChanged(false);
}

void CDropTreeCtrl::OnRenamed(int index) {
  const wxTreeItemId item = ItemOf(index);
  if (item.IsOk()) SetItemText(item, ToDisplay(m_model->Label(index)));
  TellLayoutChanged(false);
}

void CDropTreeCtrl::OnCleared() {
  CancelDrag();  // the dragged item went with the layout
  TellLayoutChanged(true);
  if (!GetRootItem().IsOk()) return;
  DeleteChildren(GetRootItem());
  m_treeItems.assign(MAX_ITEMS, wxTreeItemId());
  m_treeItems[LayoutModel::TOP_LEVEL] = GetRootItem();
}

void CDropTreeCtrl::OnCannotFind(const std::string& path) {
  Say(CannotFindText(path));
}

void CDropTreeCtrl::OnPathTooLong(const std::string& path) {
  Say(PathTooLongText(path));
}

void CDropTreeCtrl::OnFull() {
  Say(Tr(MSG_LAYOUT_FULL));
}

void CDropTreeCtrl::Say(const wxString& text) {
  if (m_insertions > 0) {
    m_heldMessages.push_back(text);
  } else {
    ShowMessage(text, wxGetTopLevelParent(this));
  }
}

CDropTreeCtrl::Insertion::Insertion(CDropTreeCtrl& tree) : m_tree(tree) {
  m_tree.Freeze();
  ++m_tree.m_insertions;
}

CDropTreeCtrl::Insertion::~Insertion() {
  m_tree.Thaw();
  if (--m_tree.m_insertions > 0) return;
  const std::vector<wxString> held = std::move(m_tree.m_heldMessages);
  m_tree.m_heldMessages.clear();
  for (const wxString& text : held) ShowMessage(text, wxGetTopLevelParent(&m_tree));
}
