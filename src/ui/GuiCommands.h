#pragma once
// The seam between the main window and the screens it opens: the main window implements
// IMainShell; each screen is started by one Run* function that the main window's command
// calls. Keeps the screens in their own files and the main window free of their details.

#include <QString>

#include "data/Document.h"

class QWidget;

namespace rv {

class CCustomFormView;

class IMainShell {
public:
    virtual ~IMainShell() = default;
    virtual QWidget* Window() = 0;
    /// The document (data file, New/Open/Save, default sets) of the window.
    virtual CQTXDoc& Document() = 0;
    /// Closes every child window (views store their fields first).
    virtual void CloseAllViews() = 0;
    /// Every open view stores its fields into the data.
    virtual void StoreAllViews() = 0;
    /// Rebuilds tree, menus, status bar and title from the current data and settings.
    virtual void RefreshAll() = 0;
    /// Status bar only (range, model name, port).
    virtual void RefreshStatusBar() = 0;
    /// Every open view reloads its fields from the data.
    virtual void ReloadAllViews() = 0;
    /// Rebuilds menus, tree, views and texts in the current language.
    virtual void Retranslate() = 0;
    /// The open view of a tree command (32800 to 32950), nullptr when it is not open.
    virtual CCustomFormView* FindView(int command) const = 0;
    /// Brings the child window of an open view to the front.
    virtual void ActivateView(CCustomFormView* view) = 0;
    /// Adds a line to the log view: what happened on the radio link or in a file operation.
    virtual void LogEvent(const QString& operation, const QString& result) = 0;
    /// Runs a command as its menu entry does.
    virtual void RunCommand(int id) = 0;
};

/// Model Information screen; applies the change (name only, or reset after question 800).
void RunModelInformation(IMainShell& shell);
/// Language screen; on a new language resets to the default set and retranslates.
void RunLanguage(IMainShell& shell);
/// Communication Port screen.
void RunComPort(IMainShell& shell);
/// Read from Radio through the transfer screen; true when new data were loaded.
bool RunReadFromRadio(IMainShell& shell);
/// Write to Radio through the transfer screen (validation and image preparation included).
bool RunWriteToRadio(IMainShell& shell);

}  // namespace rv
