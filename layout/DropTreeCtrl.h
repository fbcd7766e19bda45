// The layout tree: a tree control with the layout item store behind it. Each
// tree item carries its item index as data; the store's entries at that index
// say where the item comes from, whether it is a folder and whether it is Form 2.
#pragma once

#include <wx/defs.h>
#include <wx/dcmemory.h>
#include <wx/generic/dragimgg.h>
#include <wx/treectrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class wxTextCtrl;
class wxButton;
class wxImageList;
class wxDropFilesEvent;
class wxMenu;
class wxDC;

// Context menu entries of the tree.
enum TreeMenuId {
  IDM_TREE_MENU = 132,
  IDM_RENAME = 133,
  IDM_REMOVE = 134,
  IDM_REMOVE_ALL = 135,
  IDM_MAKE_FOLDER = 136,
  IDM_SET_FORM2 = 137,
  IDM_BROWSE_FOLDER = 141,
};

inline constexpr const char* MSG_LAYOUT_FULL =
    "The layout is full: it holds at most 49999 items.";

class CDropTreeCtrl : public wxTreeCtrl {
 public:
  static constexpr int MAX_ITEMS = 50000;

  CDropTreeCtrl();
  CDropTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                const wxSize& size, long style);
  ~CDropTreeCtrl() override;

  // Called by the main window once the control exists.
  void Attach(wxTextCtrl* pathDisplay, wxButton* removeButton);

  // ---- the store ----
  // The tree has one hidden root; its children are the layout's top level.
  // "None" as a parent (an invalid id) means that top level.
  wxTreeItemId TopLevel() const { return GetRootItem(); }
  // parent itself, or the hidden root when parent is none.
  wxTreeItemId InsertionParent(const wxTreeItemId& parent) const {
    return parent.IsOk() ? parent : GetRootItem();
  }
  // The parent of an item; none (an invalid id) for a top-level item.
  wxTreeItemId ParentOf(const wxTreeItemId& item) const;
  // Hands out the next item index with its entries (path, folder flag, Form 1).
  // Returns 0 and writes nothing when the store is full.
  int AddStoreEntry(const std::string& path, bool isFolder);
  // Puts an item index on a tree item as its data.
  void SetItemIndex(const wxTreeItemId& item, int index);
  // A folder's name after a rename.
  void SetItemPath(int index, const std::string& path) { m_itemPath[index] = path; }

  void ResetTree();
  wxTreeItemId FindFolder(const std::string& name, wxTreeItemId first) const;
  int ItemIndex(const wxTreeItemId& item) const;
  const std::string& ItemPath(int index) const { return m_itemPath[index]; }
  bool IsFolder(int index) const { return m_isFolder[index] != 0; }
  bool IsForm2(int index) const { return m_isForm2[index] != 0; }
  bool IsFolderItem(const wxTreeItemId& item) const;
  int ItemCount() const { return m_itemCount; }  // the next index to hand out
  bool IsFull() const { return m_itemCount >= MAX_ITEMS; }
  // Marks a file item Form 2 (flag and bold state together).
  void MarkForm2(const wxTreeItemId& item);
  void SetForm2(const wxTreeItemId& item, bool form2);

  // ---- insertion ----
  // A made folder (fromDisk false) or a path on disk. Returns the new item,
  // or parent when nothing was created (not found, or the store is full).
  wxTreeItemId InsertPath(const std::string& path, wxTreeItemId parent, bool fromDisk);
  // Each command that inserts calls this first: the "layout is full"
  // message is shown at most once per command.
  void BeginInsertCommand() { m_fullReported = false; }
  bool FullReported() const { return m_fullReported; }

  // ---- the hint over the empty tree ----
  bool ShowHint() const { return m_showHint; }
  void ClearHint();  // clears the flag for good and redraws at once

  // ---- editing commands ----
  void RemoveItem(wxTreeItemId item, bool focusRemoveButton);
  void RemoveAll();
  void ToggleForm2(wxTreeItemId item);
  void ApplyForm2(wxTreeItemId folder, bool value);
  void RenameFolder(wxTreeItemId item);
  void MakeFolder(wxTreeItemId target, bool fromButton);
  void BrowseFileFolder(wxTreeItemId item);
  // The folder part of a file item's path, as Browse File Folder opens it.
  std::string FileFolderOf(const wxTreeItemId& item) const;
  // What opens a folder in the file manager (tests replace it).
  void SetFolderOpener(std::function<void(const std::string&)> opener) {
    m_openFolder = std::move(opener);
  }
  wxTreeItemId MenuItem() const { return m_menuItem; }
  // Opens the context menu for the item under point (tree client coordinates).
  void OpenContextMenu(const wxPoint& point);
  // The menu entries' enabled states for the item under the pointer (tests).
  std::map<int, bool> MenuStates(wxTreeItemId item) const;
  void RunMenuCommand(int id);
  // The item under point (none for empty space) becomes the menu's target and
  // is selected, as a right-button press does before the menu opens.
  wxTreeItemId SelectMenuItemAt(const wxPoint& point);
  // The context menu with its entries grayed for the given target.
  std::unique_ptr<wxMenu> MakeContextMenu(wxTreeItemId item) const;
  // What shows the context menu (tests replace the pop-up, which is modal).
  void SetMenuPresenter(std::function<void(wxMenu&)> presenter) {
    m_presentMenu = std::move(presenter);
  }
  // The selected layout item; none when nothing (or only the hidden root) is selected.
  wxTreeItemId SelectedItem() const;
  // True when item is ancestor itself or lies below it.
  bool IsInSubtree(wxTreeItemId item, const wxTreeItemId& ancestor) const;

  // ---- drag and drop ----
  wxTreeItemId CopyItem(wxTreeItemId item, wxTreeItemId newParent);
  void MoveItem(wxTreeItemId item, wxTreeItemId newParent);
  void DropPaths(const std::vector<std::string>& paths);
  wxPoint LastPoint() const { return m_lastPoint; }
  void SetLastPoint(const wxPoint& p) { m_lastPoint = p; }
  bool IsDragging() const { return m_dragging; }
  wxTreeItemId DragItem() const { return m_dragItem; }
  // Ends a drag in progress without a move (its item is about to go).
  void CancelDrag();

 private:
  void Init();
  void BindEvents();
  void RedrawNow();
  void DrawHint(wxDC& dc);
  void AddFolderIcons();
  // The icon and selected icon of an item: the folder pair (0, 1) for a
  // folder, else the icon of the path's file type from the desktop's icon
  // theme, added to m_icons once per type (2, the generic file icon, for a
  // type the theme has no icon for).
  std::pair<int, int> IconsFor(const std::string& path, bool isFolder);
  void ScanFolder(const std::string& folderPath, wxTreeItemId folderItem,
                  std::vector<std::pair<std::uint64_t, std::uint64_t>>& scanning);
  wxTreeItemId InsertFromDisk(const std::string& path, wxTreeItemId parent,
                              std::vector<std::pair<std::uint64_t, std::uint64_t>>& scanning);
  bool RefuseWhenFull();
  // order: the children of parent as the scan that fills it keeps them (so no
  // label is fetched from the tree).
  struct ChildOrder;
  wxTreeItemId InsertSortedFile(wxTreeItemId parent, const std::string& label,
                                int image, int selImage, ChildOrder& order);

  void OnPaint(wxPaintEvent& event);
  void OnRButtonDown(wxMouseEvent& event);
  void OnKeyDown(wxTreeEvent& event);
  void OnSelChanged(wxTreeEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void OnBeginDrag(wxTreeEvent& event);
  void OnLButtonUp(wxMouseEvent& event);
  void OnDropFiles(wxDropFilesEvent& event);
  void OnMenuCommand(wxCommandEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void EndDrag();
  wxTreeItemId LayoutItemAt(const wxPoint& point) const;

  std::unique_ptr<wxImageList> m_icons;
  std::map<std::string, std::pair<int, int>> m_iconCache;  // per file type
  wxPoint m_lastPoint;
  wxTextCtrl* m_pathDisplay = nullptr;
  wxButton* m_removeButton = nullptr;
  int m_itemCount = 1;
  std::vector<std::string> m_itemPath;
  bool m_showHint = true;
  std::vector<unsigned char> m_isFolder;
  std::vector<unsigned char> m_isForm2;
  bool m_dragging = false;
  wxTreeItemId m_dragItem;
  std::unique_ptr<wxGenericDragImage> m_dragImage;  // follows the pointer during a drag
  wxTreeItemId m_menuItem;
  bool m_fullReported = false;
  std::function<void(const std::string&)> m_openFolder;
  std::function<void(wxMenu&)> m_presentMenu;

  friend struct CDropTreeCtrlTestAccess;  // tests reach the private parts
  wxDECLARE_DYNAMIC_CLASS(CDropTreeCtrl);
};
