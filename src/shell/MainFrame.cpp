#include "shell/MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "base/NumberText.h"
#include "base/Settings.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "shell/DlgAbout.h"
#include "shell/DlgFileHeader.h"
#include "shell/GuiHelp.h"
#include "ui/ChildFrame.h"
#include "ui/CustomFormView.h"
#include "ui/FormBuilder.h"
#include "ui/GridCtrl.h"
#include "ui/InvalidLogPane.h"
#include "ui/LogPane.h"
#include "ui/NavigationBar.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/ShellRegistry.h"

namespace rv {

namespace {

CMainFrame* mainFrame = nullptr;

/// Message shown in the status bar's port pane, "%d" the port number.
constexpr int kPortStatusMessage = 2231;
/// Width of the navigation tree when the window opens.
constexpr int kTreeWidth = 220;
/// Item data role of a tree item's command.
constexpr int kCommandRole = Qt::UserRole;
constexpr int kTitleRole = Qt::UserRole + 1;  // the item's text without its count


QIcon StandardIcon(int id, QStyle* style)
{
    switch (id) {
        case Id(Command::New):
            return style->standardIcon(QStyle::SP_FileIcon);
        case Id(Command::Open):
            return style->standardIcon(QStyle::SP_DialogOpenButton);
        case Id(Command::Save):
            return style->standardIcon(QStyle::SP_DialogSaveButton);
        case Id(Command::ReadFromRadio):
            return style->standardIcon(QStyle::SP_ArrowDown);
        case Id(Command::WriteToRadio):
            return style->standardIcon(QStyle::SP_ArrowUp);
        case Id(Command::Print):
            return style->standardIcon(QStyle::SP_FileDialogDetailedView);
        case Id(Command::RadioInformation):
            return style->standardIcon(QStyle::SP_FileDialogInfoView);
        case Id(Command::HelpTopics):
            return style->standardIcon(QStyle::SP_MessageBoxQuestion);
        case Id(Command::About):
            return style->standardIcon(QStyle::SP_MessageBoxInformation);
        default:
            return {};
    }
}

/// Commands shown as check marks (a bar or pane that is shown or hidden).
bool IsToggle(int id)
{
    return id == Id(Command::ToolBar) || id == Id(Command::StatusBar) ||
           id == Id(Command::TreeBar) || id == Id(Command::InvalidView) ||
           id == Id(Command::LogView) || id == Id(Command::TabView);
}

constexpr int kToolBarCommands[] = {
    Id(Command::New),
    Id(Command::Open),
    Id(Command::Save),
    0,
    Id(Command::ReadFromRadio),
    Id(Command::WriteToRadio),
    0,
    Id(Command::Print),
    0,
    Id(Command::RadioInformation),
    Id(Command::HelpTopics),
    Id(Command::About),
};

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), doc_(*this)
{
    mainFrame = this;
    CCustomFormView::SetShell(this);
    setObjectName("MainFrame");
    SetTitle(UiText(ShellText::kProgramTitle, "rvcps").toStdString());
    auto* modifiedTimer = new QTimer(this);
    connect(modifiedTimer, &QTimer::timeout, this, [this] {
        CheckpointChanges();
        UpdateModifiedMark();
    });
    modifiedTimer->start(500);

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("MdiArea");
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setTabsClosable(true);
    mdi_->setDocumentMode(true);
    setCentralWidget(mdi_);

    BuildDocks();
    BuildStatusBar();
    BuildMenus();
    BuildToolBar();
    addToolBar(new CNavigationBar(mdi_, this));
    BuildTree();
    RefreshStatusBar();
    InstallDataHooks();
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommandStates(); });
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateEditStates(); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { UpdateEditStates(); });
    // F1 anywhere, also in modal screens, asks for help on the focused control.
    qApp->installEventFilter(this);
    resize(1100, 720);
    menusAsBuilt_ = true;
    menusProfile_ = CurrentUiProfile();
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    // A window destroyed while it is shown and active moves the focus as its widgets go: the
    // application's and the clipboard's signals must not reach this half-destroyed object.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    // The parts of the window go after this object: they must not call back into it.
    for (QObject* part :
         std::initializer_list<QObject*>{treeDock_, invalidDock_, logDock_, toolBar_, mdi_, tree_})
        if (part) disconnect(part, nullptr, this, nullptr);
    for (auto& [menu, qmenu] : menus_) disconnect(qmenu, nullptr, this, nullptr);
    disconnect(statusBar(), nullptr, this, nullptr);
    RemoveDataHooks();
    // The views go before the data hooks they might use. They leave the list of open views
    // first: a view that commits a focused field as it goes must not find itself (or a view
    // already half destroyed) among the views a notice is handed to.
    std::vector<OpenEntry> closing;
    closing.swap(openViews_);
    for (const OpenEntry& e : closing)
        if (e.frame) delete e.frame.data();
    if (CCustomFormView::Shell() == this) CCustomFormView::SetShell(nullptr);
    if (mainFrame == this) mainFrame = nullptr;
}

CMainFrame* CMainFrame::Instance()
{
    return mainFrame;
}

// ---- building ----

void CMainFrame::BuildDocks()
{
    tree_ = new QTreeWidget(this);
    tree_->setObjectName("NavigationTree");
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setExpandsOnDoubleClick(false);
    SetControlId(tree_, Id(Command::TreeBar));
    connect(tree_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item, int) { OpenFromTree(item); });
    treeDock_ = new QDockWidget(this);
    treeDock_->setObjectName("TreeDock");
    treeDock_->setWidget(tree_);
    treeDock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::LeftDockWidgetArea, treeDock_);
    resizeDocks({treeDock_}, {kTreeWidth}, Qt::Horizontal);

    invalidPane_ = new CInvalidLogPane(Radio().InvalidLog(), this);
    connect(invalidPane_, &CInvalidLogPane::entryActivated, this, &CMainFrame::GoToInvalidEntry);
    invalidDock_ = new QDockWidget(this);
    invalidDock_->setObjectName("InvalidDock");
    invalidDock_->setWidget(invalidPane_);
    invalidDock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::BottomDockWidgetArea, invalidDock_);

    logPane_ = new CLogPane(this);
    logDock_ = new QDockWidget(this);
    logDock_->setObjectName("LogDock");
    logDock_->setWidget(logPane_);
    logDock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::BottomDockWidgetArea, logDock_);
    tabifyDockWidget(invalidDock_, logDock_);
    resizeDocks({invalidDock_}, {140}, Qt::Vertical);

    treeDock_->setWindowTitle(UiText(ShellText::kTreeBar, "Radio"));
    invalidDock_->setWindowTitle(UiText(ShellText::kInvalidView, "Invalid Entries"));
    logDock_->setWindowTitle(UiText(ShellText::kLogView, "Log"));
    for (QDockWidget* dock : {treeDock_, invalidDock_, logDock_})
        connect(dock, &QDockWidget::visibilityChanged, this, [this] { UpdateCommandStates(); });
}

void CMainFrame::BuildStatusBar()
{
    rangePane_ = new QLabel(this);
    modelPane_ = new QLabel(this);
    portPane_ = new QLabel(this);
    rangePane_->setObjectName("RangePane");
    modelPane_->setObjectName("ModelPane");
    portPane_->setObjectName("PortPane");
    for (QLabel* pane : {rangePane_, modelPane_, portPane_}) {
        pane->setMinimumWidth(90);
        pane->setAlignment(Qt::AlignCenter);
        statusBar()->addPermanentWidget(pane);
    }
    statusBar()->showMessage(UiText(ShellText::kReady, "Ready"));
    // A message that timed out, or a menu's status tip that went, leaves "Ready" behind.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        // Another message (a menu's status tip, "Ready") takes the cut one's place.
        if (text != statusShown_) statusFull_.clear();
        if (text.isEmpty()) statusBar()->showMessage(UiText(ShellText::kReady, "Ready"));
    });
}

QAction* CMainFrame::MakeAction(const MenuEntry& entry)
{
    auto* action = new QAction(UiText(entry.id, entry.english), this);
    action->setObjectName(QStringLiteral("cmd%1").arg(entry.id));
    action->setData(entry.id);
    if (entry.shortcut && *entry.shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
    action->setIcon(StandardIcon(entry.id, style()));
    action->setIconVisibleInMenu(false);
    action->setStatusTip(PlainCommandText(action->text()));
    action->setCheckable(IsToggle(entry.id));
    const int id = entry.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    return action;
}

void CMainFrame::BuildMenus()
{
    menuBar()->clear();
    for (auto& [id, action] : actions_) action->deleteLater();
    actions_.clear();
    menus_.clear();
    windowListActions_.clear();

    const UiProfile profile = CurrentUiProfile();
    for (int m = 0; m < kMenuCount; ++m) {
        const Menu which = static_cast<Menu>(m);
        QMenu* menu = menuBar()->addMenu(UiText(kFirstMenuTitleText + m, kMenuTitles[m]));
        menu->setObjectName(QStringLiteral("menu%1").arg(m));
        menus_[which] = menu;
        for (const MenuEntry& entry : VisibleMenuEntries(which, profile)) {
            if (entry.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = MakeAction(entry);
            actions_[entry.id] = action;
            menu->addAction(action);
        }
    }
    connect(menus_[Menu::File], &QMenu::aboutToShow, this, [this] { UpdateRecentFiles(); });
    connect(menus_[Menu::Window], &QMenu::aboutToShow, this, [this] { UpdateWindowMenu(); });
    connect(menus_[Menu::Edit], &QMenu::aboutToShow, this, [this] { CheckpointChanges(); });
    UpdateRecentFiles();
    UpdateCommandStates();
}

void CMainFrame::BuildToolBar()
{
    if (!toolBar_) {
        toolBar_ = addToolBar(QString());
        toolBar_->setObjectName("ToolBar");
        toolBar_->setMovable(false);
        connect(toolBar_, &QToolBar::visibilityChanged, this, [this] { UpdateCommandStates(); });
    }
    toolBar_->clear();
    toolBar_->setWindowTitle(UiText(ShellText::kToolBar, "Tool Bar"));
    for (int id : kToolBarCommands) {
        if (id == 0) {
            toolBar_->addSeparator();
            continue;
        }
        if (QAction* action = Action(id)) {
            action->setToolTip(PlainCommandText(action->text()));
            toolBar_->addAction(action);
        }
    }
}

void CMainFrame::BuildTree()
{
    tree_->clear();
    QString rootText = ToQ(Settings().ModelName());
    if (rootText.isEmpty()) rootText = ToQ(Settings().ModelID());
    auto* root = new QTreeWidgetItem(tree_, {rootText});
    root->setData(0, kCommandRole, 0);
    QTreeWidgetItem* parent = root;
    QTreeWidgetItem* lastTop = root;
    for (const TreeRow& row : VisibleTreeRows(CurrentUiProfile())) {
        parent = row.level == 0 ? root : lastTop;
        // The label may carry the list's count; a view opened from the item takes the text alone.
        const QString text = UiText(row.textId, row.english);
        const std::string label = TreeItemLabel(FromQ(text), row.textId,
                                                FromQ(UiText(ShellText::kTreeCount, "%s (%d)")));
        auto* item = new QTreeWidgetItem(parent, {ToQ(label)});
        item->setData(0, kCommandRole, row.textId);
        item->setData(0, kTitleRole, text);
        if (row.level == 0) lastTop = item;
        // A kind whose view is not part of the program is shown but cannot be opened.
        const int command = NormalizeViewCommand(row.textId);
        if (FindViewRow(command) && !HasRegisteredView(command))
            item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
    }
    tree_->expandAll();
}

// ---- commands ----

QAction* CMainFrame::Action(int id) const
{
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* CMainFrame::TopMenu(Menu menu) const
{
    auto it = menus_.find(menu);
    return it == menus_.end() ? nullptr : it->second;
}

bool CMainFrame::IsCommandAvailable(int id) const
{
    if (FindRegisteredCommand(id)) return true;
    switch (id) {
        // Screens that register their handler when they are part of the program.
        case Id(Command::Print):
        case Id(Command::PrintPreview):
        case Id(Command::PrintSetup):
        case Id(Command::Adjustment):
        case Id(Command::BaseBand):
        case Id(Command::FactoryMode):
        case Id(Command::WriteTuneData):
        case Id(Command::MemoryUpdate):
            return false;
        default:
            break;
    }
    // The pane commands share the range of the view commands; only views need a factory.
    if (IsViewCommand(id) && FindViewRow(NormalizeViewCommand(id)))
        return HasRegisteredView(NormalizeViewCommand(id));
    return true;
}

void CMainFrame::UpdateCommandStates()
{
    for (auto& [id, action] : actions_) action->setEnabled(IsCommandAvailable(id));
    auto check = [this](Command c, bool on) {
        if (QAction* a = Action(Id(c))) a->setChecked(on);
    };
    // isHidden: the panes may be checked before the window is shown.
    check(Command::TreeBar, !treeDock_->isHidden());
    check(Command::InvalidView, !invalidDock_->isHidden());
    check(Command::LogView, !logDock_->isHidden());
    check(Command::TabView, mdi_->viewMode() == QMdiArea::TabbedView);
    check(Command::StatusBar, !statusBar()->isHidden());
    if (toolBar_) check(Command::ToolBar, !toolBar_->isHidden());
    const bool anyView = !mdi_->subWindowList().isEmpty();
    for (Command c : {Command::CloseAllWindows, Command::Cascade, Command::Tile})
        if (QAction* a = Action(Id(c))) a->setEnabled(anyView);
    if (QAction* a = Action(Id(Command::CloseAllButThis)))
        a->setEnabled(openViews_.size() > 1);
    UpdateEditStates();
}

CGridCtrl* CMainFrame::FocusGrid() const
{
    return qobject_cast<CGridCtrl*>(QApplication::focusWidget());
}

void CMainFrame::UpdateEditStates()
{
    auto enable = [this](Command c, bool on) {
        if (QAction* a = Action(Id(c))) a->setEnabled(on);
    };
    enable(Command::Undo, doc_.CanUndo());
    enable(Command::Redo, doc_.CanRedo());
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit())
        focus = combo->lineEdit();
    bool cut = false, copy = false, paste = false, fill = false;
    const bool clipboardText = !QApplication::clipboard()->text().isEmpty();
    if (CGridCtrl* grid = FocusGrid()) {
        copy = grid->CanCopy();
        cut = paste = fill = grid->CanChange();
        paste = paste && clipboardText;
        cut = cut && copy;
    } else if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
        copy = edit->hasSelectedText() && edit->echoMode() == QLineEdit::Normal;
        cut = copy && !edit->isReadOnly();
        paste = !edit->isReadOnly() && clipboardText;
    }
    enable(Command::Cut, cut);
    enable(Command::Copy, copy);
    enable(Command::Paste, paste);
    enable(Command::FillDown, fill);
}

void CMainFrame::CheckpointChanges()
{
    doc_.Checkpoint();
    UpdateEditStates();
}

void CMainFrame::UpdateRecentFiles()
{
    const std::vector<std::string> files = CQTXDoc::RecentFiles();
    for (size_t k = 0; k < kRecentFileCount; ++k) {
        QAction* action = Action(Id(Command::RecentFile1) + static_cast<int>(k));
        if (!action) continue;
        if (k < files.size()) {
            action->setText(QStringLiteral("&%1 %2").arg(k + 1).arg(ToQ(files[k])));
            action->setVisible(true);
            action->setEnabled(true);
        } else if (k == 0) {
            // With no recent files the first entry stays, greyed, as a place holder.
            action->setText(UiText(Id(Command::RecentFile1), "Recent File"));
            action->setVisible(true);
            action->setEnabled(false);
        } else {
            action->setVisible(false);
        }
    }
}

void CMainFrame::UpdateWindowMenu()
{
    QMenu* menu = TopMenu(Menu::Window);
    if (!menu) return;
    for (QAction* a : windowListActions_) {
        menu->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (windows.isEmpty()) return;
    windowListActions_.push_back(menu->addSeparator());
    int n = 0;
    for (QMdiSubWindow* w : windows) {
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == mdi_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w = QPointer<QMdiSubWindow>(w)] {
            if (w) mdi_->setActiveSubWindow(w);
        });
        windowListActions_.push_back(a);
    }
}

void CMainFrame::StartUp()
{
    CSettings& s = Settings();
    std::string notice;
    const std::string range = s.FreqRange();
    if (!s.ModelID().empty() && !range.empty() &&
        !ModelCatalog().IsRangeOfModel(s.ModelID(), range)) {
        const std::vector<RangeEntry> ranges = ModelCatalog().RangeEntries(s.ModelID());
        if (!ranges.empty()) {
            s.SetFreqRange(ranges.front().text);
            notice = s.LoadMessage(CatalogMessage::kRememberedRangeReplaced,
                                   {s.SettingsPath(), range, s.ModelID(), ranges.front().text});
        }
    }
    RunCommand(Id(Command::New));
    startUpNotices_.clear();
    if (const std::string problem = s.LanguageProblem(); !problem.empty())
        startUpNotices_.emplace_back(problem, true);
    if (!notice.empty()) startUpNotices_.emplace_back(notice, false);
}

void CMainFrame::ShowStartUpNotices()
{
    std::vector<std::pair<std::string, bool>> notices;
    notices.swap(startUpNotices_);
    for (const auto& [text, warning] : notices)
        Prompt().Show(this, ToQ(text),
                      warning ? CPrompt::Icon::Warning : CPrompt::Icon::Information);
}

void CMainFrame::RunCommand(int id)
{
    // The user level is read now: a command of a higher level is refused even when its
    // shortcut or menu entry was made while the level was higher.
    if (!IsCommandAvailable(id) ||
        !IsCommandReachable(NormalizeViewCommand(id), CurrentUiProfile()))
        return;
    if (IsViewCommand(id) && FindViewRow(NormalizeViewCommand(id))) {
        OpenView(id);
        return;
    }
    if (id >= Id(Command::RecentFile1) && id <= Id(Command::RecentFile4)) {
        RunDocumentCommand(id);
        return;
    }
    switch (id) {
        case Id(Command::New):
        case Id(Command::Open):
        case Id(Command::Save):
        case Id(Command::SaveAs):
            RunDocumentCommand(id);
            return;
        case Id(Command::Exit):
            close();
            return;
        case Id(Command::Undo):
        case Id(Command::Redo): {
            const QString operation = PlainCommandText(Action(id) ? Action(id)->text() : QString());
            if (id == Id(Command::Undo) ? doc_.Undo() : doc_.Redo())
                LogEvent(operation, UiText(ShellText::kResultDone, "Done"));
            UpdateModifiedMark();
            break;
        }
        case Id(Command::Cut):
            if (CGridCtrl* grid = FocusGrid()) {
                if (grid->Copy()) grid->ClearSelectedCells();
            } else {
                EditCommand("cut");
            }
            break;
        case Id(Command::Copy):
            if (CGridCtrl* grid = FocusGrid())
                grid->Copy();
            else
                EditCommand("copy");
            break;
        case Id(Command::Paste):
            if (CGridCtrl* grid = FocusGrid())
                grid->Paste();
            else
                EditCommand("paste");
            break;
        case Id(Command::FillDown):
            if (CGridCtrl* grid = FocusGrid()) grid->FillDown();
            break;
        case Id(Command::ToolBar):
            toolBar_->setVisible(toolBar_->isHidden());
            break;
        case Id(Command::StatusBar):
            statusBar()->setVisible(statusBar()->isHidden());
            break;
        case Id(Command::TreeBar):
            treeDock_->setVisible(treeDock_->isHidden());
            break;
        case Id(Command::InvalidView):
            ShowInvalidView(invalidDock_->isHidden());
            break;
        case Id(Command::LogView):
            logDock_->setVisible(logDock_->isHidden());
            if (!logDock_->isHidden()) logDock_->raise();
            break;
        case Id(Command::TabView):
            mdi_->setViewMode(mdi_->viewMode() == QMdiArea::TabbedView ? QMdiArea::SubWindowView
                                                                       : QMdiArea::TabbedView);
            break;
        case Id(Command::CloseAllWindows):
            CloseAllViews();
            break;
        case Id(Command::CloseAllButThis):
            CloseOtherViews();
            break;
        case Id(Command::Cascade):
            mdi_->cascadeSubWindows();
            break;
        case Id(Command::Tile):
            TileViews();
            break;
        case Id(Command::HelpTopics):
            ShowHelp({}, this);
            break;
        case Id(Command::About): {
            CDlgAbout about(this);
            about.exec();
            break;
        }
        case Id(Command::ModelInformation):
            RunModelInformation(*this);
            break;
        case Id(Command::Language):
            RunLanguage(*this);
            break;
        case Id(Command::ComPort):
            RunComPort(*this);
            break;
        // The transfer screen refreshes the window after a read and reloads the views (the radio
        // information shows the new programming time stamp) after a write.
        case Id(Command::ReadFromRadio):
            if (RunReadFromRadio(*this))
                CheckLoadedReferences(PlainCommandText(Action(id) ? Action(id)->text() : QString()));
            break;
        case Id(Command::WriteToRadio): {
            // Writing keeps the configuration safe in the radio; it changes nothing of the
            // user's, though the radio information takes the programming time the radio now
            // holds. The title keeps its mark as it was, and the next Read or Open asks to
            // save only for the user's own changes.
            const bool modified = doc_.IsModified();
            CheckpointChanges();  // the user's edits before the write are a step of their own
            const bool history = doc_.CanUndo() || doc_.CanRedo();
            RunWriteToRadio(*this);
            if (!modified) doc_.MarkClean();
            if (!history) doc_.ResetUndo();  // the time stamp is no step to undo
            UpdateModifiedMark();
            break;
        }
        default:
            if (const CommandHandler* handler = FindRegisteredCommand(id)) (*handler)(*this);
            break;
    }
    CheckpointChanges();
    UpdateCommandStates();
}

void CMainFrame::RunDocumentCommand(int id)
{
    QString operation = PlainCommandText(Action(id) ? Action(id)->text() : QString());
    DocResult result;
    switch (id) {
        case Id(Command::New):
            result = doc_.New();
            break;
        case Id(Command::Open):
            result = doc_.Open();
            break;
        case Id(Command::Save):
            result = doc_.Save();
            break;
        case Id(Command::SaveAs):
            result = doc_.SaveAs();
            break;
        default:
            operation = UiText(Id(Command::Open), "Open");
            operation = PlainCommandText(operation);
            result = doc_.OpenRecent(static_cast<size_t>(id - Id(Command::RecentFile1)));
            break;
    }
    if (result.Ok() && id != Id(Command::New) && !doc_.Path().empty())
        operation += QStringLiteral(" ") + ToQ(doc_.Path());
    else if (result.outcome == DocOutcome::Failed && !result.path.empty())
        operation += QStringLiteral(" ") + ToQ(result.path);
    LogOutcome(operation, result);
    if (result.Ok() && id != Id(Command::New) && id != Id(Command::Save) &&
        id != Id(Command::SaveAs))
        CheckLoadedReferences(operation);
    UpdateRecentFiles();
    UpdateModifiedMark();
}

void CMainFrame::CheckLoadedReferences(const QString& operation)
{
    // Log results of an Open or a Read that found one (several, %d) broken references.
    constexpr int kInvalidFoundOne = 41302;
    constexpr int kInvalidFoundMany = 41303;
    RadioData& radio = Radio();
    if (!radio.ValidateAll()) return;
    const auto count = static_cast<long long>(radio.InvalidLog().Rows().size());
    LogEvent(operation,
             ToQ(CountText(FromQ(UiText(kInvalidFoundOne,
                                        "1 entry refers to an item that does not exist: see "
                                        "Invalid Entries")),
                           FromQ(UiText(kInvalidFoundMany,
                                        "%d entries refer to items that do not exist: see "
                                        "Invalid Entries")),
                           count)));
}

void CMainFrame::LogOutcome(const QString& operation, const DocResult& result)
{
    switch (result.outcome) {
        case DocOutcome::Done:
            LogEvent(operation, UiText(ShellText::kResultDone, "Done"));
            break;
        case DocOutcome::Cancelled:
            LogEvent(operation, UiText(ShellText::kResultCancelled, "Cancelled"));
            break;
        case DocOutcome::Failed:
            LogEvent(operation, FailedResult(ToQ(result.text)));
            break;
    }
}

void CMainFrame::EditCommand(const char* slot)
{
    // Line edits, text edits and editable combo boxes all have these slots.
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit())
        focus = combo->lineEdit();
    // Only widgets that have the slot are asked (others would only print a warning).
    if (focus && focus->metaObject()->indexOfMethod(QByteArray(slot) + "()") >= 0)
        QMetaObject::invokeMethod(focus, slot);
}

// ---- views ----

void CMainFrame::OpenFromTree(QTreeWidgetItem* item)
{
    if (!item) return;
    const int command = item->data(0, kCommandRole).toInt();
    if (!IsViewCommand(command)) return;
    const int normal = NormalizeViewCommand(command);
    // A group stands for its list: the view takes the list's title.
    OpenView(normal, normal == command ? item->data(0, kTitleRole).toString() : QString());
}

CCustomFormView* CMainFrame::OpenView(int command, const QString& title)
{
    command = NormalizeViewCommand(command);
    if (!IsCommandReachable(command, CurrentUiProfile())) return nullptr;
    QString caption = title;
    if (caption.isEmpty()) {
        const ViewRow* row = FindViewRow(command);
        const char* english = "";
        for (const TreeRow& t : kTreeLayout)
            if (t.textId == command) english = t.english;
        // Views reached from the menu only (the channel list) take their menu text.
        for (const MenuEntry& m : kMenuLayout)
            if (m.id == command && !*english) english = m.english;
        caption =
            ToQ(StripLeadingBackslashes(TextOr(Settings().LoadText(command), row ? english : "")));
    }

    for (const OpenEntry& e : openViews_) {
        if (e.command != command || !e.frame) continue;
        e.frame->setWindowTitle(caption);
        e.frame->showNormal();
        mdi_->setActiveSubWindow(e.frame);
        return e.frame->View();
    }

    const ViewRow* row = FindViewRow(command);
    if (!row) return nullptr;
    CCustomFormView* view = CreateRegisteredView(command, nullptr);
    if (!view) return nullptr;
    view->SetCommand(command);
    connect(view, &CCustomFormView::noticeRaised, this, &CMainFrame::BroadcastNotice);

    auto* frame = new CChildFrame(view);
    frame->setObjectName(QStringLiteral("child%1").arg(command));
    // F1 on a control without a topic of its own opens the topic of its view.
    SetControlId(frame, command);
    mdi_->addSubWindow(frame);
    frame->setWindowTitle(caption);
    openViews_.push_back({command, row->kind, frame});
    connect(frame, &CChildFrame::closing, this, [this](CChildFrame* closed) {
        std::erase_if(openViews_, [closed](const OpenEntry& e) { return e.frame == closed; });
        UpdateCommandStates();
    });
    frame->show();
    FitIntoWorkspace(frame);
    mdi_->setActiveSubWindow(frame);

    // A list view starts on the item its title names ("Channel 3").
    if (row->maxItems > 1)
        if (int number = ListPositionFromTitle(FromQ(caption)); number > 0)
            view->Navigate(static_cast<int>(NoticeCode::GoTo), number);
    UpdateCommandStates();
    return view;
}

void CMainFrame::GoToInvalidEntry(quint32 key)
{
    const CInvalidLog::Row* row = Radio().InvalidLog().Find(key);
    if (!row) return;
    const std::optional<InvalidRowTarget> target = LocateInvalidRow(*row);
    if (!target) return;
    CCustomFormView* view = OpenView(target->viewCommand);
    if (!view) return;
    view->Navigate(static_cast<int>(NoticeCode::GoTo), static_cast<int>(target->position));
    view->FocusControl(target->controlId);
}

void CMainFrame::FitIntoWorkspace(QMdiSubWindow* frame) const
{
    // The window gets the size its view asks for, as far as the workspace allows, and is moved
    // back into the workspace when the automatic placement left part of it outside.
    const QSize area = mdi_->viewport()->size();
    const QSize wanted = frame->sizeHint().boundedTo(area);
    frame->resize(wanted.expandedTo(frame->minimumSizeHint().boundedTo(area)));
    QPoint pos = frame->pos();
    pos.setX(std::max(0, std::min(pos.x(), area.width() - frame->width())));
    pos.setY(std::max(0, std::min(pos.y(), area.height() - frame->height())));
    frame->move(pos);
}

void CMainFrame::TileViews()
{
    if (mdi_->viewMode() == QMdiArea::TabbedView) return;
    // Qt's own tiling widens every tile to the largest child's minimum size, so that children
    // run past the workspace and over each other. Here each child gets exactly its tile: rows
    // and columns as near square as the count allows, the windows of a short last row wider.
    QList<QMdiSubWindow*> children;
    for (QMdiSubWindow* child : mdi_->subWindowList())
        if (child->isVisible() && !child->isMinimized()) children.push_back(child);
    const int n = static_cast<int>(children.size());
    if (n == 0) return;
    const QSize area = mdi_->viewport()->size();
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    const int rows = (n + columns - 1) / columns;
    for (int i = 0; i < n; ++i) {
        const int row = i / columns;
        const int column = i % columns;
        const int inRow = row == rows - 1 ? n - row * columns : columns;
        const int left = area.width() * column / inRow;
        const int right = area.width() * (column + 1) / inRow;
        const int top = area.height() * row / rows;
        const int bottom = area.height() * (row + 1) / rows;
        if (children[i]->isMaximized()) children[i]->showNormal();
        children[i]->setGeometry(left, top, right - left, bottom - top);
    }
}

CCustomFormView* CMainFrame::FindView(int command) const
{
    command = NormalizeViewCommand(command);
    for (const OpenEntry& e : openViews_)
        if (e.command == command && e.frame) return e.frame->View();
    return nullptr;
}

void CMainFrame::ActivateView(CCustomFormView* view)
{
    for (const OpenEntry& e : openViews_)
        if (e.frame && e.frame->View() == view) {
            e.frame->showNormal();
            mdi_->setActiveSubWindow(e.frame);
        }
}

std::vector<CCustomFormView*> CMainFrame::OpenViews() const
{
    std::vector<CCustomFormView*> views;
    for (const OpenEntry& e : openViews_)
        if (e.frame && e.frame->View()) views.push_back(e.frame->View());
    return views;
}

void CMainFrame::BroadcastNotice(const NoticeRecord& notice)
{
    Radio().Notify(notice);
    for (CCustomFormView* view : OpenViews()) view->DeliverNotice(notice);
    // Every committed field, row, add and delete is announced: each becomes an undo step.
    CheckpointChanges();
}

void CMainFrame::ShowInvalidView(bool show)
{
    invalidDock_->setVisible(show);
    if (show) invalidDock_->raise();
    UpdateCommandStates();
}

// ---- IMainShell ----

void CMainFrame::CloseAllViews()
{
    // Each child window stores its view as it closes; the list is emptied as they go.
    const std::vector<OpenEntry> entries = openViews_;
    for (const OpenEntry& e : entries)
        if (e.frame) e.frame->close();
    openViews_.clear();
    mdi_->closeAllSubWindows();
    UpdateCommandStates();
}

void CMainFrame::CloseOtherViews()
{
    // The current child window stays even while the main window is not the active one (a
    // screen of the view itself may have run the command).
    const QMdiSubWindow* keep = mdi_->currentSubWindow();
    const std::vector<OpenEntry> entries = openViews_;
    for (const OpenEntry& e : entries)
        if (e.frame && e.frame != keep) e.frame->close();
    UpdateCommandStates();
}

void CMainFrame::StoreAllViews()
{
    for (CCustomFormView* view : OpenViews()) view->Store();
}

void CMainFrame::ReloadAllViews()
{
    for (CCustomFormView* view : OpenViews()) view->Reload();
    // A list may have changed its length (an import, an undo, a read): every record bar
    // shows the count and the position as they are now.
    CNavigationBar::RefreshAll();
}

void CMainFrame::RefreshAll()
{
    BuildMenus();
    BuildToolBar();
    BuildTree();
    RefreshStatusBar();
    ReloadAllViews();
    SetTitle(doc_.Title());
}

void CMainFrame::Refresh()
{
    const UiProfile profile = CurrentUiProfile();
    const bool asBuilt = menusAsBuilt_ && profile.userLevel == menusProfile_.userLevel &&
                         profile.editionFlag == menusProfile_.editionFlag;
    menusAsBuilt_ = false;
    if (!asBuilt) {
        RefreshAll();
        return;
    }
    // Building the menus again would load every icon a second time before the window shows.
    UpdateRecentFiles();
    UpdateCommandStates();
    BuildTree();
    RefreshStatusBar();
    ReloadAllViews();
    SetTitle(doc_.Title());
}

void CMainFrame::RefreshStatusBar()
{
    const CSettings& s = Settings();
    rangePane_->setText(ToQ(RangeStatusText(s.FreqRange())));
    modelPane_->setText(ToQ(s.ModelName()));
    if (s.ComPort() > 0)
        portPane_->setText(
            ToQ(FormatTextNumber(TextOr(s.LoadMessage(kPortStatusMessage), "COM%d"), s.ComPort())));
    else
        portPane_->clear();
}

void CMainFrame::Retranslate()
{
    treeDock_->setWindowTitle(UiText(ShellText::kTreeBar, "Radio"));
    invalidDock_->setWindowTitle(UiText(ShellText::kInvalidView, "Invalid Entries"));
    logDock_->setWindowTitle(UiText(ShellText::kLogView, "Log"));
    invalidPane_->Retranslate();
    logPane_->Retranslate();
    statusBar()->showMessage(UiText(ShellText::kReady, "Ready"));
    for (CCustomFormView* view : OpenViews()) TranslateDialog(view, view->FormId());
    for (const OpenEntry& e : openViews_) {
        const std::string title = StripLeadingBackslashes(Settings().LoadText(e.command));
        if (e.frame && !title.empty()) e.frame->setWindowTitle(ToQ(title));
    }
    RefreshAll();
}

void CMainFrame::LogEvent(const QString& operation, const QString& result)
{
    logPane_->AddEvent(operation, result);
    // The permanent panes would cover the end of a long message: it is cut with an ellipsis
    // where it must be, and the whole text is its tool tip (and the log's new row).
    const QString full = operation + QStringLiteral(": ") + result;
    // (A bar not on screen has no width to cut to yet.)
    const QString shown = statusBar()->isVisible() ? statusBar()->fontMetrics().elidedText(
                                                         full, Qt::ElideRight, StatusMessageRoom())
                                                   : full;
    statusShown_ = shown;
    statusFull_ = shown == full ? QString() : full;
    statusBar()->showMessage(shown, 5000);
}

int CMainFrame::StatusMessageRoom() const
{
    QStatusBar* bar = statusBar();
    if (bar->layout()) bar->layout()->activate();
    // The message is drawn from the bar's left margin to just before the first visible pane
    // (less the bar's own margins on either side).
    int right = bar->width();
    int panes = 0;
    for (QLabel* pane : {rangePane_, modelPane_, portPane_}) {
        if (pane->isHidden()) continue;
        panes += pane->width() + bar->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
        if (pane->x() > 0) right = std::min(right, pane->x());
    }
    if (right == bar->width()) right -= panes;
    return std::max(right - 16, 40);
}

// ---- DocumentUi ----

bool CMainFrame::AskYesNo(int, const std::string& text)
{
    return Prompt().AskYesNo(this, ToQ(text)) == CPrompt::Answer::Yes;
}

SaveAnswer CMainFrame::AskSaveChanges(int, const std::string& text)
{
    switch (Prompt().AskYesNoCancel(this, ToQ(text))) {
        case CPrompt::Answer::Yes: return SaveAnswer::Save;
        case CPrompt::Answer::No: return SaveAnswer::Discard;
        default: return SaveAnswer::Cancel;
    }
}

void CMainFrame::ShowMessage(int, const std::string& text)
{
    Prompt().Show(this, ToQ(text), CPrompt::Icon::Warning);
}

std::optional<std::string> CMainFrame::ChooseOpenPath()
{
    return FileChooser().ChooseOpenPath(this, doc_.Path());
}

std::optional<SaveChoice> CMainFrame::ChooseSavePath(const CDataFileHeader& header,
                                                     const std::string& comment)
{
    return FileChooser().ChooseSavePath(this, doc_.Path(), header, comment);
}

void CMainFrame::SetTitle(const std::string& title)
{
    plainTitle_ = ToQ(title);
    UpdateModifiedMark();
}

void CMainFrame::UpdateModifiedMark()
{
    const QString title = doc_.IsModified(false) ? QStringLiteral("*") + plainTitle_ : plainTitle_;
    if (windowTitle() != title) setWindowTitle(title);
}

// ---- data hooks, events ----

void CMainFrame::InstallDataHooks()
{
    RadioData& radio = Radio();
    // An editor that commits when it loses the focus stores its input before a check.
    radio.commitFocusHook = [this] {
        QWidget* focus = QApplication::focusWidget();
        if (!focus) return;
        if (QMdiSubWindow* active = mdi_->activeSubWindow(); active && active->isAncestorOf(focus))
            active->setFocus(Qt::OtherFocusReason);
        else
            focus->clearFocus();
    };
    radio.showInvalidLogHook = [this] { ShowInvalidView(true); };
    radio.MemoryMap().storeViewsHook = [this] { StoreAllViews(); };
}

void CMainFrame::RemoveDataHooks()
{
    RadioData& radio = Radio();
    radio.commitFocusHook = nullptr;
    radio.showInvalidLogHook = nullptr;
    radio.MemoryMap().storeViewsHook = nullptr;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Changes that were neither saved nor written are offered for saving; Cancel, or a save
    // that did not happen, keeps the program running with the data.
    if (!doc_.SaveModified().Ok()) {
        event->ignore();
        return;
    }
    CloseAllViews();
    Settings().SaveAtExit();
    QMainWindow::closeEvent(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Undo and Redo keys undo configuration changes even where a text box has the focus (an
    // edit in it is committed and undone with the rest); the menu entries' states are brought
    // up to date before the key is matched.
    if (event->type() == QEvent::ShortcutOverride && watched == QApplication::focusWidget()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
             (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier)) &&
            isAncestorOf(QApplication::focusWidget())) {
            UpdateEditStates();
            const bool undo = key->matches(QKeySequence::Undo);
            if (QAction* a = Action(Id(undo ? Command::Undo : Command::Redo)); a && a->isEnabled())
                return true;
        }
    }
    // A status message that had to be cut shows its whole text as the tool tip of its place.
    if (event->type() == QEvent::ToolTip && watched == statusBar() && !statusFull_.isEmpty() &&
        statusBar()->currentMessage() == statusShown_) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (help->pos().x() < StatusMessageRoom() + 16) {
            QToolTip::showText(help->globalPos(), statusFull_, statusBar());
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            ShowHelpForFocus(this);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace rv
