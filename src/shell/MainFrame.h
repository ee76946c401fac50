#pragma once
// The main window: menus, tool bar, status bar, the navigation tree, the invalid-log and log
// panes, and one child window per opened category view. It runs the document commands (New,
// Open, Save, Save As, recent files), opens views from the tree and the menus, passes notices
// between the views and the data, and starts the screens of the radio link and the settings.

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "data/Document.h"
#include "data/Notice.h"
#include "shell/ViewTable.h"
#include "ui/GuiCommands.h"

class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace rv {

class CChildFrame;
class CCustomFormView;
class CInvalidLogPane;
class CLogPane;

class CMainFrame : public QMainWindow, public IMainShell, private DocumentUi {
    Q_OBJECT
public:
    /// Builds the window for the current settings (no data are loaded: call Document().New()
    /// for the first New).
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    /// The main window of the process, nullptr when none exists.
    static CMainFrame* Instance();
    /// The document (data file, New, Open, Save ...).
    CQTXDoc& Document() { return doc_; }

    // IMainShell.
    QWidget* Window() override { return this; }
    void CloseAllViews() override;
    void StoreAllViews() override;
    void RefreshAll() override;
    void RefreshStatusBar() override;
    void ReloadAllViews() override;
    void Retranslate() override;
    void LogEvent(const QString& operation, const QString& result) override;

    /// The start of the program: a frequency range remembered in "Settings.ini" that is not one
    /// of the current model's is replaced by the model's first range and the first New is run.
    /// What the user must be told waits for ShowStartUpNotices(), so that the window can be
    /// shown first.
    void StartUp();
    /// The notices of StartUp(): a language file that could not be read (in English, since its
    /// texts are missing), then which remembered range was replaced. Each is shown once.
    void ShowStartUpNotices();
    /// Runs a command as its menu entry or tool button does.
    void RunCommand(int id) override;
    /// Opens (or activates) the view of a tree item or view command; title "" takes the
    /// command's text. Returns the view, nullptr when no view serves the command.
    CCustomFormView* OpenView(int command, const QString& title = {});
    /// The open view of a command, nullptr when it is not open.
    CCustomFormView* FindView(int command) const override;
    /// Closes every child window except the current one (Close All, But This).
    void CloseOtherViews();
    void ActivateView(CCustomFormView* view) override;
    /// Every open view, in opening order.
    std::vector<CCustomFormView*> OpenViews() const;
    /// Lets the data re-check their references and hands the notice to every open view
    /// except the one that raised it.
    void BroadcastNotice(const NoticeRecord& notice);
    /// Shows or hides the invalid-log pane.
    void ShowInvalidView(bool show);
    /// Marks the title with "*" while the configuration differs from the one kept safe (also
    /// looked at twice a second, since views store their edits as they are made).
    void UpdateModifiedMark();

    // The window's parts (for the screens and for tests).
    QTreeWidget* Tree() const { return tree_; }
    QMdiArea* MdiArea() const { return mdi_; }
    /// The menu or tool bar action of a command, nullptr when the menus leave it out.
    QAction* Action(int id) const;
    /// A top-level menu.
    QMenu* TopMenu(Menu menu) const;
    QDockWidget* TreeDock() const { return treeDock_; }
    QDockWidget* InvalidDock() const { return invalidDock_; }
    QDockWidget* LogDock() const { return logDock_; }
    CInvalidLogPane* InvalidPane() const { return invalidPane_; }
    CLogPane* LogPane() const { return logPane_; }
    /// Status bar panes: range, model name, port.
    QLabel* RangePane() const { return rangePane_; }
    QLabel* ModelPane() const { return modelPane_; }
    QLabel* PortPane() const { return portPane_; }
    /// Window > Tile: every child window exactly in its own tile of the workspace.
    void TileViews();
    /// Width the status bar has for its message: up to the first permanent pane.
    int StatusMessageRoom() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // DocumentUi.
    bool AskYesNo(int messageId, const std::string& text) override;
    SaveAnswer AskSaveChanges(int messageId, const std::string& text) override;
    void ShowMessage(int messageId, const std::string& text) override;
    std::optional<std::string> ChooseOpenPath() override;
    std::optional<SaveChoice> ChooseSavePath(const CDataFileHeader& header,
                                             const std::string& comment) override;
    /// After the document replaced the data: RefreshAll(), except that the first load after the
    /// window was built (the first New at start-up) keeps the menus and the tool bar, which were
    /// just made for the same user level and model edition.
    void Refresh() override;
    void SetTitle(const std::string& title) override;

    void BuildMenus();
    void BuildToolBar();
    void BuildTree();
    void BuildDocks();
    void BuildStatusBar();
    void UpdateRecentFiles();
    void UpdateWindowMenu();
    void UpdateCommandStates();
    QAction* MakeAction(const MenuEntry& entry);
    void OpenFromTree(QTreeWidgetItem* item);
    void FitIntoWorkspace(QMdiSubWindow* frame) const;
    /// Opens the view that holds an invalid-log entry's field on its item, and focuses it.
    void GoToInvalidEntry(quint32 key);
    void RunDocumentCommand(int id);
    void LogOutcome(const QString& operation, const DocResult& result);
    /// After an Open or a Read: checks every reference of the new data, fills the Invalid
    /// Entries list and, when it has rows, shows it and says so in the log.
    void CheckLoadedReferences(const QString& operation);
    void EditCommand(const char* slot);
    /// The grid that has the keyboard focus (not its cell editor), nullptr when none.
    class CGridCtrl* FocusGrid() const;
    /// Enables Undo, Redo, Cut, Copy, Paste and Fill Down exactly when they would do something.
    void UpdateEditStates();
    /// Records the changes since the last checkpoint as an undo step, then updates the menus.
    void CheckpointChanges();
    void InstallDataHooks();
    void RemoveDataHooks();
    bool IsCommandAvailable(int id) const;

    struct OpenEntry {
        int command;
        ViewKind kind;
        QPointer<CChildFrame> frame;
    };

    CQTXDoc doc_;
    QMdiArea* mdi_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QDockWidget* treeDock_ = nullptr;
    QDockWidget* invalidDock_ = nullptr;
    QDockWidget* logDock_ = nullptr;
    CInvalidLogPane* invalidPane_ = nullptr;
    CLogPane* logPane_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* rangePane_ = nullptr;
    QLabel* modelPane_ = nullptr;
    QLabel* portPane_ = nullptr;
    std::map<int, QAction*> actions_;
    std::map<Menu, QMenu*> menus_;
    std::vector<QAction*> windowListActions_;
    std::vector<OpenEntry> openViews_;
    QString plainTitle_;  ///< the title without the unsaved-changes mark
    /// Notices of StartUp() not shown yet: {text, warning}.
    std::vector<std::pair<std::string, bool>> startUpNotices_;
    /// The menus and the tool bar are as the constructor built them, for this profile.
    bool menusAsBuilt_ = false;
    UiProfile menusProfile_;
    QString statusShown_;  ///< the status message as shown, cut to fit left of the panes
    QString statusFull_;   ///< its whole text while it had to be cut, else empty
};

}  // namespace rv
