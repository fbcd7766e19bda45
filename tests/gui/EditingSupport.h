// Points on the tree, the message after a command, and answers to the dialogs
// a layout command opens.
#pragma once

#include "GuiFixture.h"
#include "TreeFrame.h"
#include "layout/window/FolderNameDialog.h"

// The centre of an item's row in tree coordinates, scrolled into view first.
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

// The context menu opened on an item (none: empty space) and an entry chosen.
inline void ChooseFromMenu(CDropTreeCtrl& tree, const wxTreeItemId& item, int id) {
  tree.SelectMenuItemAt(item.IsOk() ? PointOn(tree, item) : EmptySpace(tree));
  tree.RunMenuCommand(id);
}

// The message after a command that passed names over.
inline std::string NotAddedMessage(int count, const std::string& first) {
  return std::to_string(count) +
         " items were not added: a name with a double quote, or a folder name with a "
         "backslash, cannot be kept in a layout.\n" + first;
}

// Answers one message box with OK, handing its text to seen while it is open.
class SeenMessage : public wxExpectModalBase<wxMessageDialog, SeenMessage> {
 public:
  explicit SeenMessage(std::function<void(const std::string&)> seen) : m_seen(std::move(seen)) {}

 protected:
  int OnInvoked(wxMessageDialog* box) const override {
    m_seen(box->GetMessage().utf8_string());
    return wxID_OK;
  }

 private:
  std::function<void(const std::string&)> m_seen;
};

// Answers the folder name dialog the way a user does: each attempt is typed
// over the edit's text (none: the text left as the dialog opened) and OK is
// pressed, until the dialog accepts one; then Esc. opensWith: the text the
// edit must open with, all of it selected.
class ExpectFolderName : public wxExpectModalBase<CFolderName, ExpectFolderName> {
 public:
  explicit ExpectFolderName(std::vector<std::optional<std::string>> attempts,
                            std::optional<wxString> opensWith = std::nullopt)
      : m_attempts(std::move(attempts)), m_opensWith(std::move(opensWith)) {}

 protected:
  int OnInvoked(CFolderName* dlg) const override {
    if (m_opensWith) {
      EXPECT_EQ(dlg->Edit()->GetValue(), *m_opensWith);
      EXPECT_EQ(dlg->Edit()->GetStringSelection(), *m_opensWith) << "all of it selected";
    }
    for (const std::optional<std::string>& attempt : m_attempts) {
      if (attempt) dlg->Edit()->ChangeValue(wxString::FromUTF8(*attempt));
      wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
      ok.SetEventObject(dlg);
      dlg->GetEventHandler()->ProcessEvent(ok);
      if (dlg->GetReturnCode() == wxID_OK) return wxID_OK;
    }
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(dlg);
    dlg->GetEventHandler()->ProcessEvent(escape);
    return dlg->GetReturnCode();
  }

 private:
  std::vector<std::optional<std::string>> m_attempts;
  std::optional<wxString> m_opensWith;
};
