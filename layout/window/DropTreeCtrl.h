// The layout tree: a tree control that shows the layout model and turns the
// user's gestures (keys, the context menu, drags, dropped files) into the
// layout's commands (layout/LayoutCommands). Each tree item carries its layout
// index as data, and the control maps each index to its item; the model says
// where the item comes from, whether it is a folder and whether it is Form 2.
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

#include "common/Texts.h"
#include "layout/LayoutCommands.h"
#include "layout/LayoutModel.h"

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
  IDM_NAMES = 142,  // after the entries above, when the window gives the names list
  IDM_OPEN_IMAGE = 143,  // the last entry, when the window opens disc images
};

class CDropTreeCtrl : public wxTreeCtrl, private LayoutObserver {
 public:
  static constexpr int MAX_ITEMS = LayoutModel::MAX_ITEMS;

  CDropTreeCtrl();
  CDropTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                const wxSize& size, long style);
  ~CDropTreeCtrl() override;

  // Called by the main window once the control exists: the tree shows model
  // from now on (and starts it afresh).
  void Attach(LayoutModel& model, wxTextCtrl* pathDisplay, wxButton* removeButton);
  LayoutModel& Model() const { return *m_model; }

  // ---- the items and their indices ----
  // The tree has one hidden root; its children are the layout's top level.
  // "None" as a parent (an invalid id) means that top level.
  wxTreeItemId TopLevel() const { return GetRootItem(); }
  // The parent of an item; none (an invalid id) for a top-level item.
  wxTreeItemId ParentOf(const wxTreeItemId& item) const;
  // The tree item that shows a layout index; none for the top level.
  wxTreeItemId ItemOf(int index) const;

  // A new store and an empty tree.
  void ResetTree();
  int ItemIndex(const wxTreeItemId& item) const;
  const std::string& ItemPath(int index) const { return m_model->ItemPath(index); }
  bool IsFolder(int index) const { return m_model->IsFolder(index); }
  bool IsForm2(int index) const { return m_model->IsForm2(index); }
  bool IsFolderItem(const wxTreeItemId& item) const;
  int NextIndex() const { return m_model->NextIndex(); }

  // A command inserting into the layout holds one of these while it inserts:
  // the tree is frozen (a folder's subtree is drawn once, when complete), and
  // the messages the insertion raises wait until the tree is thawed, so that
  // the tree shows its items behind them.
  class Insertion {
   public:
    explicit Insertion(CDropTreeCtrl& tree);
    ~Insertion();
    Insertion(const Insertion&) = delete;
    Insertion& operator=(const Insertion&) = delete;

   private:
    CDropTreeCtrl& m_tree;
  };

  // After a command that inserts: one message says how many paths the layout
  // could not keep, naming the first (none when it kept them all).
  void ShowReport(const InsertReport& report);

  // ---- the hint over the empty tree ----
  bool ShowHint() const { return m_showHint; }
  void ClearHint();  // clears the flag for good and redraws at once

  // ---- editing commands ----
  void RemoveItem(wxTreeItemId item, bool focusRemoveButton);
  void RemoveAll();
  void ToggleForm2(wxTreeItemId item);
  void RenameFolder(wxTreeItemId item);
  void MakeFolder(wxTreeItemId target, bool fromButton);
  void BrowseFileFolder(wxTreeItemId item);
  // Opens the context menu for the item under point (tree client coordinates).
  void OpenContextMenu(const wxPoint& point);
  // Opens it for the selected item (the menu keys); for none when nothing is.
  void OpenContextMenuAtSelection();
  // Where the context menu opened last, in tree client coordinates.
  wxPoint MenuPoint() const { return m_menuPoint; }
  // Where the drag image is drawn, in tree client pixels, while a drag shows
  // one; empty otherwise.
  wxRect DragImageRect() const;
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
  // Told after each change of the layout (replaced: the whole layout went,
  // Remove All or a new store), once the tree shows it.
  void SetLayoutListener(std::function<void(bool replaced)> listener) { m_layoutChanged = std::move(listener); }
  // "Names..." at the end of the context menu, grayed while available()
  // says no; open() shows the list. Without them the menu has no such entry.
  void SetNamesEntry(std::function<bool()> available, std::function<void()> open) {
    m_namesAvailable = std::move(available);
    m_openNames = std::move(open);
  }
  // "Open Disc Image..." last in the context menu, grayed while available()
  // says no (a run is under way).
  void SetOpenImageEntry(std::function<bool()> available, std::function<void()> open) {
    m_openImageAvailable = std::move(available);
    m_openImage = std::move(open);
  }
  // The selected layout item; none when nothing (or only the hidden root) is selected.
  wxTreeItemId SelectedItem() const;

  // ---- drag and drop ----
  void DropPaths(const std::vector<std::string>& paths);
  bool IsDragging() const { return m_dragging; }
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
  wxTreeItemId CopyItem(wxTreeItemId item, wxTreeItemId newParent);
  void SelectReceiver(int folder);
  // Drops the tree items of a removed subtree from the index map.
  void ForgetItems(int index);

  // What the model says, shown.
  void OnInserted(int index, int parent, std::size_t place) override;
  void OnRemoving(int index) override;
  void OnMoved(int index, int newParent) override;
  void OnForm2Changed(int index) override;
  void OnRenamed(int index) override;
  void OnCleared() override;
  void OnCannotFind(const std::string& path) override;
  void OnPathTooLong(const std::string& path) override;
  void OnFull() override;
  // Shows a message now, or once the insertion under way has ended.
  void Say(const wxString& text);

  void OnPaint(wxPaintEvent& event);
  void OnRButtonDown(wxMouseEvent& event);
  void OnContextMenuEvent(wxContextMenuEvent& event);
  void PresentContextMenu(const wxPoint& at);
  void OnKeyDown(wxTreeEvent& event);
  void OnSelChanged(wxTreeEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void OnGetToolTip(wxTreeEvent& event);
  // label shortened in its middle until measure (its width in pixels as
  // drawn) gives at most width.
  static wxString FitToWidth(const wxString& label, int width,
                             const std::function<int(const wxString&)>& measure);
  void OnBeginDrag(wxTreeEvent& event);
  void OnLButtonDown(wxMouseEvent& event);
  void OnLButtonUp(wxMouseEvent& event);
  void OnDropFiles(wxDropFilesEvent& event);
  void OnMenuCommand(wxCommandEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void EndDrag();
  wxTreeItemId LayoutItemAt(const wxPoint& point) const;

  std::unique_ptr<wxImageList> m_icons;
  std::map<std::string, std::pair<int, int>> m_iconCache;  // per file type
  wxPoint m_lastPoint;
  wxPoint m_pressPoint;  // where the left button went down: the item a drag takes
  wxTextCtrl* m_pathDisplay = nullptr;
  wxButton* m_removeButton = nullptr;
  LayoutModel* m_model = nullptr;
  // The tree item showing each index (the hidden root for the top level).
  std::vector<wxTreeItemId> m_treeItems;
  bool m_showHint = true;
  bool m_dragging = false;
  wxTreeItemId m_dragItem;
  std::unique_ptr<wxGenericDragImage> m_dragImage;  // follows the pointer during a drag
  wxTreeItemId m_menuItem;
  int m_insertions = 0;  // Insertion scopes open
  std::vector<wxString> m_heldMessages;
  wxPoint m_menuPoint;
  std::function<void(wxMenu&)> m_presentMenu;
  std::function<void(bool)> m_layoutChanged;
  std::function<bool()> m_namesAvailable;
  std::function<void()> m_openNames;
  std::function<bool()> m_openImageAvailable;
  std::function<void()> m_openImage;
  void TellLayoutChanged(bool replaced) {
    if (m_layoutChanged) m_layoutChanged(replaced);
  }

  wxDECLARE_DYNAMIC_CLASS(CDropTreeCtrl);
};
