// Helpers for the tests of the layout editing commands: a compact picture of
// the tree, item look-up by label, a fixture that fills and drives the tree,
// and the answer to the folder name dialog.
#pragma once

#include <gtest/gtest.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "GuiFixture.h"
#include "TreeFrame.h"
#include "common/window/TextCodec.h"
#include "layout/window/DropTreeCtrl.h"
#include "layout/window/FolderNameDialog.h"

// The children of a level (none: the top level).
inline std::vector<wxTreeItemId> ChildrenOf(const CDropTreeCtrl& tree, wxTreeItemId parent = {}) {
  if (!parent.IsOk()) parent = tree.GetRootItem();
  std::vector<wxTreeItemId> items;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId item = tree.GetFirstChild(parent, cookie); item.IsOk();
       item = tree.GetNextChild(parent, cookie)) {
    items.push_back(item);
  }
  return items;
}

// The layout as text: items of a level joined by ',', a folder's content in
// braces, '*' after a bold label. "a.txt,Video{intro.avi*,Extra{}}"
inline std::string TreePicture(const CDropTreeCtrl& tree, wxTreeItemId parent = {}) {
  std::string out;
  for (const wxTreeItemId& item : ChildrenOf(tree, parent)) {
    if (!out.empty()) out += ',';
    out += FromDisplay(tree.GetItemText(item));
    if (tree.IsBold(item)) out += '*';
    if (tree.IsFolderItem(item)) out += '{' + TreePicture(tree, item) + '}';
  }
  return out;
}

// The item at a path of labels separated by '/', from the top level; none
// when a label is not found.
inline wxTreeItemId ItemAt(const CDropTreeCtrl& tree, const std::string& labels) {
  wxTreeItemId item;
  std::istringstream parts(labels);
  for (std::string label; std::getline(parts, label, '/');) {
    const std::vector<wxTreeItemId> children = ChildrenOf(tree, item);
    const auto found = std::find_if(children.begin(), children.end(), [&](const wxTreeItemId& c) {
      return FromDisplay(tree.GetItemText(c)) == label;
    });
    if (found == children.end()) return {};
    item = *found;
  }
  return item;
}

// The centre of an item's row, in tree client coordinates; the item is
// scrolled into view (its folders expanded) first, as a user would.
inline wxPoint PointOn(CDropTreeCtrl& tree, const wxTreeItemId& item) {
  tree.EnsureVisible(item);
  wxRect rect;
  EXPECT_TRUE(tree.GetBoundingRect(item, rect, true)) << "item not visible";
  return wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2);
}

// A point below every item of the tree.
inline wxPoint EmptySpace(CDropTreeCtrl& tree) {
  const wxSize size = tree.GetClientSize();
  return wxPoint(size.x / 2, size.y - 3);
}

// The tree on a frame of its own, filled and driven as the tests need.
using LayoutEditingTest = TreeFrameTest;

// Answers the folder name dialog the way a user does: each attempt is typed
// over the edit's text and OK is pressed, until the dialog accepts one; then
// Esc. Records the edit's text and selection as the dialog opened.
struct FolderNameSeen {
  wxString initialText;
  long selFrom = -1;
  long selTo = -1;
  std::string acceptedName;
  bool wasShown = false;
};

class ExpectFolderName : public wxExpectModalBase<CFolderName, ExpectFolderName> {
 public:
  ExpectFolderName(std::vector<std::string> attempts, FolderNameSeen* seen = nullptr)
      : m_attempts(std::move(attempts)), m_seen(seen) {}

 protected:
  int OnInvoked(CFolderName* dlg) const override {
    if (m_seen) {
      m_seen->wasShown = true;
      m_seen->initialText = dlg->Edit()->GetValue();
      dlg->Edit()->GetSelection(&m_seen->selFrom, &m_seen->selTo);
    }
    for (const std::string& attempt : m_attempts) {
      dlg->Edit()->ChangeValue(wxString::FromUTF8(attempt));
      wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
      ok.SetEventObject(dlg);
      dlg->GetEventHandler()->ProcessEvent(ok);
      if (dlg->GetReturnCode() == wxID_OK) {
        if (m_seen) m_seen->acceptedName = dlg->Name();
        return wxID_OK;
      }
    }
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(dlg);
    dlg->GetEventHandler()->ProcessEvent(escape);
    return dlg->GetReturnCode();
  }

  wxString GetDefaultDescription() const override { return wxT("folder name dialog"); }

 private:
  std::vector<std::string> m_attempts;
  FolderNameSeen* m_seen;
};
