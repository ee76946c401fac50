#pragma once
// Where the screens of the desktop program announce themselves to the main window: each
// category view registers the factory of its view under the tree command it serves, and each
// further screen (printing, tuning, memory update ...) registers the handler of its menu
// command. The main window opens views and enables menu entries from what is registered, so it
// needs no knowledge of the screens' classes.
//
// In a view's .cpp:      RV_REGISTER_VIEW(Command::Channel, CViewChannel)
// For a menu command:    RV_REGISTER_COMMAND(Command::Adjustment, RunAdjustment)
//                        (RunAdjustment is a void(IMainShell&) function)

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
/// Returns true (for use in a static initialiser).
bool RegisterView(int command, ViewFactory factory);
/// Puts factory in place of the registered one and returns that (an empty factory removes
/// the registration). For tests that stand in their own views.
ViewFactory ReplaceView(int command, ViewFactory factory);
/// A new view for the command, nullptr when none is registered.
CCustomFormView* CreateRegisteredView(int command, QWidget* parent);
/// True when a view is registered for the command.
bool HasRegisteredView(int command);

/// Registers the handler of a menu command. Returns true.
bool RegisterCommand(int command, CommandHandler handler);
/// The handler of a command, nullptr when none is registered.
const CommandHandler* FindRegisteredCommand(int command);

}  // namespace rv

#define RV_REGISTRY_CONCAT2(a, b) a##b
#define RV_REGISTRY_CONCAT(a, b) RV_REGISTRY_CONCAT2(a, b)

/// Registers view class Class (constructor Class(QWidget* parent)) for a Command.
#define RV_REGISTER_VIEW(command, Class)                                                    \
    static const bool RV_REGISTRY_CONCAT(rvViewRegistered_, __LINE__) = ::rv::RegisterView( \
        ::rv::Id(command),                                                                  \
        [](QWidget* parent) -> ::rv::CCustomFormView* { return new Class(parent); })

/// Registers a void(IMainShell&) function as the handler of a Command.
#define RV_REGISTER_COMMAND(command, function)                             \
    static const bool RV_REGISTRY_CONCAT(rvCommandRegistered_, __LINE__) = \
        ::rv::RegisterCommand(::rv::Id(command), function)
