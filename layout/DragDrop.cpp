// Dragging inside the tree (moving items with their subtrees) and dropping
// files and folders from the desktop's file manager. Both take their target
// from the last pointer position recorded by OnMouseMove.
#include <wx/dnd.h>
#include <wx/event.h>

#include <algorithm>
#include <utility>

#include "layout/DropTreeCtrl.h"

namespace {

// Where the pointer holds the drag image: 15 pixels right of and below its corner.
const wxPoint DRAG_HOT_SPOT(15, 15);

}  // namespace

wxTreeItemId CDropTreeCtrl::LayoutItemAt(const wxPoint& point) const {
  int flags = 0;
  const wxTreeItemId item = HitTest(point, flags);
  if (!item.IsOk() || item == GetRootItem()) return wxTreeItemId();
  return item;
}

void CDropTreeCtrl::OnMouseMove(wxMouseEvent& event) {
  m_lastPoint = event.GetPosition();
  if (m_dragging) {
    // The selection, and with it the path display, follows the pointer.
    const wxTreeItemId item = LayoutItemAt(m_lastPoint);
    if (item.IsOk()) SelectItem(item);
    if (m_dragImage) {
      m_dragImage->Hide();
      RedrawNow();
      m_dragImage->Move(m_lastPoint);
      m_dragImage->Show();
    }
  }
  event.Skip();
}

void CDropTreeCtrl::OnBeginDrag(wxTreeEvent&) {
  // The tree's own drag stays off (the event is not allowed): this one is ours.
  m_dragItem = LayoutItemAt(m_lastPoint);
  if (!m_dragItem.IsOk()) return;
  m_dragImage = std::make_unique<wxGenericDragImage>(GetItemText(m_dragItem));
  if (!m_dragImage->BeginDrag(DRAG_HOT_SPOT, this)) m_dragImage.reset();
  if (m_dragImage) {
    m_dragImage->Move(m_lastPoint);
    m_dragImage->Show();
  }
  if (!HasCapture()) CaptureMouse();
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CDropTreeCtrl::OnCaptureLost, this);
  m_dragging = true;
}

void CDropTreeCtrl::EndDrag() {
  Unbind(wxEVT_MOUSE_CAPTURE_LOST, &CDropTreeCtrl::OnCaptureLost, this);
  m_dragItem = wxTreeItemId();
  if (m_dragImage) {
    m_dragImage->Hide();
    m_dragImage->EndDrag();  // releases the capture it took
    m_dragImage.reset();
  }
  while (HasCapture()) ReleaseMouse();
  m_dragging = false;
}

void CDropTreeCtrl::CancelDrag() {
  if (m_dragging) EndDrag();
}

void CDropTreeCtrl::OnCaptureLost(wxMouseCaptureLostEvent&) {
  // Another window took the pointer: the drag ends without a move.
  m_dragImage.reset();
  EndDrag();
}

void CDropTreeCtrl::OnLButtonUp(wxMouseEvent& event) {
  if (m_dragging) {
    const wxTreeItemId dragged = m_dragItem;
    wxTreeItemId target = LayoutItemAt(m_lastPoint);
    EndDrag();
    if (!target.IsOk()) {
      MoveItem(dragged, wxTreeItemId());  // empty space: the end of the top level
    } else {
      if (!IsFolderItem(target)) target = ParentOf(target);
      if (ParentOf(dragged) != target && dragged != target) MoveItem(dragged, target);
    }
  }
  ClearHint();
  event.Skip();
}

wxTreeItemId CDropTreeCtrl::CopyItem(wxTreeItemId item, wxTreeItemId newParent) {
  const wxTreeItemId copy =
      AppendItem(InsertionParent(newParent), GetItemText(item), GetItemImage(item),
                 GetItemImage(item, wxTreeItemIcon_Selected));
  const int index = ItemIndex(item);
  SetItemIndex(copy, index);
  // A folder whose own flag is set is bold at its new place too.
  if (index > 0 && IsForm2(index)) SetItemBold(copy, true);
  return copy;
}

void CDropTreeCtrl::MoveItem(wxTreeItemId item, wxTreeItemId newParent) {
  // A folder dropped onto itself or one of its own descendants stays put.
  if (!item.IsOk() || IsInSubtree(newParent, item)) return;
  Freeze();
  const wxTreeItemId copy = CopyItem(item, newParent);
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
  // The folder that received the item is selected, not the item.
  if (newParent.IsOk()) {
    SelectItem(newParent);
  } else {
    Unselect();
  }
}

void CDropTreeCtrl::OnDropFiles(wxDropFilesEvent& event) {
  ClearHint();
  std::vector<std::string> paths;
  for (int i = 0; i < event.GetNumberOfFiles(); ++i) {
    const wxCharBuffer bytes = event.GetFiles()[i].fn_str();
    paths.emplace_back(bytes.data(), bytes.length());
  }
  DropPaths(paths);
  event.Skip();
}

void CDropTreeCtrl::DropPaths(const std::vector<std::string>& paths) {
  // Over a folder the paths go into it; over a file or empty space they go
  // to the top level.
  wxTreeItemId target = LayoutItemAt(m_lastPoint);
  if (!IsFolderItem(target)) target = wxTreeItemId();
  BeginInsertCommand();
  wxTreeItemId last;
  for (const std::string& path : paths) {
    SetFocus();
    last = InsertPath(path, target, true);
  }
  if (last.IsOk()) {
    SelectItem(last);
  } else {
    Unselect();
  }
}
