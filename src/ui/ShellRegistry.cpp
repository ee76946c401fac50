#include "ui/ShellRegistry.h"

#include <map>

#include "ui/CustomFormView.h"

namespace rv {

namespace {

// Function-local statics: the registries exist from their first use.
std::map<int, ViewFactory>& Views()
{
    static std::map<int, ViewFactory> views;
    return views;
}

std::map<int, CommandHandler>& Commands()
{
    static std::map<int, CommandHandler> commands;
    return commands;
}

}  // namespace

void RegisterView(int command, ViewFactory factory)
{
    Views()[command] = std::move(factory);
}

ViewFactory ReplaceView(int command, ViewFactory factory)
{
    ViewFactory previous;
    auto it = Views().find(command);
    if (it != Views().end()) {
        previous = std::move(it->second);
        Views().erase(it);
    }
    if (factory) Views()[command] = std::move(factory);
    return previous;
}

CCustomFormView* CreateRegisteredView(int command, QWidget* parent)
{
    auto it = Views().find(command);
    return it == Views().end() || !it->second ? nullptr : it->second(parent);
}

bool HasRegisteredView(int command)
{
    return Views().count(command) != 0;
}

void RegisterCommand(int command, CommandHandler handler)
{
    Commands()[command] = std::move(handler);
}

const CommandHandler* FindRegisteredCommand(int command)
{
    auto it = Commands().find(command);
    return it == Commands().end() || !it->second ? nullptr : &it->second;
}

}  // namespace rv
