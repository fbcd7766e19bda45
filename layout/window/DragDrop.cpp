// Dragging inside the tree (moving items with their subtrees) and dropping
// files and folders from the desktop's file manager. Both take their target
// from the last pointer position recorded by OnMouseMove; a drag takes its
// item from where the button was pressed.
#include <wx/dnd.h>
#include <wx/event.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "layout/window/DropTreeCtrl.h"

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

void CDropTreeCtrl::OnLButtonDown(wxMouseEvent& event) {
  m_pressPoint = event.GetPosition();
  event.Skip();
}

void CDropTreeCtrl::OnBeginDrag(wxTreeEvent&) {
  // The tree's own drag stays off (the event is not allowed): this one is ours.
  // The drag starts only once the pointer has moved a few pixels, by then
  // perhaps over the next row: the item is the one that was pressed.
  m_dragItem = LayoutItemAt(m_pressPoint);
  if (!m_dragItem.IsOk()) return;
  // The image is the label as one line; a long name is shortened so that the
  // image stays inside the tree, whose window it is drawn on.
  const auto imageWidth = [](const wxString& text) {
    return wxGenericDragImage(text).GetImageRect(wxPoint(0, 0)).width;
  };
  m_dragImage = std::make_unique<wxGenericDragImage>(
      FitToWidth(GetItemText(m_dragItem), GetClientSize().x - 2 * DRAG_HOT_SPOT.x, imageWidth));
  if (!m_dragImage->BeginDrag(DRAG_HOT_SPOT, this)) m_dragImage.reset();
  if (m_dragImage) {
    m_dragImage->Move(m_lastPoint);
    m_dragImage->Show();
  }
  if (!HasCapture()) CaptureMouse();
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CDropTreeCtrl::OnCaptureLost, this);
  m_dragging = true;
}

wxRect CDropTreeCtrl::DragImageRect() const {
  return m_dragImage ? m_dragImage->GetImageRect(m_lastPoint) : wxRect();
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
    const int dragged = ItemIndex(m_dragItem);
    const int target = ItemIndex(LayoutItemAt(m_lastPoint));
    EndDrag();
    if (const std::optional<int> receiver = DropItem(*m_model, dragged, target)) {
      SelectReceiver(*receiver);
    }
  }
  ClearHint();
  event.Skip();
}

void CDropTreeCtrl::SelectReceiver(int folder) {
  // The folder that received the item is selected, not the item.
  const wxTreeItemId item = ItemOf(folder);
  if (item.IsOk()) {
    SelectItem(item);
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
  const int folder = DroppedPathsFolder(*m_model, ItemIndex(LayoutItemAt(m_lastPoint)));
  SetFocus();
  InsertReport report;
  {
    Insertion inserting(*this);
    report = AddFromDisk(*m_model, paths, folder);
  }
  const wxTreeItemId selected = ItemOf(SelectionAfterInsert(report, folder));
  if (selected.IsOk()) {
    SelectItem(selected);
  } else {
    Unselect();
  }
  ShowReport(report);
}
