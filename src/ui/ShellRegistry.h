#pragma once
// Where the screens of the desktop program are made known to the main window: the view of each
// tree command is registered with its factory, and each further screen (printing, tuning, memory
// update ...) with the handler of its menu command. The main window opens views and enables menu
// entries from what is registered, so it needs no knowledge of the screens' classes.
//
// Registration is explicit: shell/ViewRegistration.cpp holds the one list of views, and the
// program and the GUI tests call RegisterViews() from it before they make a main window.

#include <functional>

class QWidget;

namespace rv {

class CCustomFormView;
class IMainShell;

/// Makes a view for a child window (the child window becomes its parent).
using ViewFactory = std::function<CCustomFormView*(QWidget* parent)>;
/// Runs a menu command.
using CommandHandler = std::function<void(IMainShell& shell)>;

/// Registers the view that serves a tree command; a second registration replaces the first.
void RegisterView(int command, ViewFactory factory);
/// Puts factory in place of the registered one and returns that (an empty factory removes
/// the registration). For tests that stand in their own views.
ViewFactory ReplaceView(int command, ViewFactory factory);
/// A new view for the command, nullptr when none is registered.
CCustomFormView* CreateRegisteredView(int command, QWidget* parent);
/// True when a view is registered for the command.
bool HasRegisteredView(int command);

/// Registers the handler of a menu command; a second registration replaces the first.
void RegisterCommand(int command, CommandHandler handler);
/// The handler of a command, nullptr when none is registered.
const CommandHandler* FindRegisteredCommand(int command);

}  // namespace rv
