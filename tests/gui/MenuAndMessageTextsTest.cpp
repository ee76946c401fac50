// Texts of the main window in both languages: no menu has two entries on one mnemonic, and a
// message box is wide enough for its whole caption.

#include <QApplication>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <map>

#include "base/Settings.h"
#include "gui/GuiTestSupport.h"
#include "shell/QtTranslations.h"
#include "ui/Prompt.h"

namespace rv {
namespace {

class MenuAndMessageTexts : public test::GuiTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        Settings().SelectLanguage(GetParam());
        ApplyQtTranslations();
        frame->RefreshAll();
    }
};

TEST_P(MenuAndMessageTexts, NoMenuHasTwoEntriesOnOneMnemonic)
{
    int menus = 0;
    for (QAction* top : frame->menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (!menu) continue;
        ++menus;
        std::map<QString, QString> taken;  // mnemonic -> the entry that has it
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible()) continue;
            const QString key = QKeySequence::mnemonic(action->text()).toString();
            if (key.isEmpty()) continue;
            const auto [at, added] = taken.emplace(key, action->text());
            EXPECT_TRUE(added) << top->text().toStdString() << ": "
                               << at->second.toStdString() << " and "
                               << action->text().toStdString() << " share " << key.toStdString();
        }
    }
    EXPECT_GE(menus, 6);
}

TEST_P(MenuAndMessageTexts, AnEntryShownAsPlainTextLosesItsMnemonicInEveryForm)
{
    // What the status bar and the log show of a command: "Import Channels", "导入信道", never
    // "导入信道(I)" or an ampersand.
    const QRegularExpression leftover(QStringLiteral("&|\\([A-Z]\\)|\\.\\.\\."));
    int entries = 0;
    for (QAction* top : frame->menuBar()->actions())
        if (QMenu* menu = top->menu())
            for (QAction* action : menu->actions()) {
                if (action->isSeparator() || action->text().isEmpty()) continue;
                ++entries;
                EXPECT_FALSE(action->statusTip().contains(leftover))
                    << action->text().toStdString() << " -> " << action->statusTip().toStdString();
            }
    EXPECT_GE(entries, 30);
}

TEST_P(MenuAndMessageTexts, AMessageBoxShowsItsWholeCaption)
{
    SetPrompt(nullptr);  // the program's own message boxes
    int boxWidth = 0;
    int captionWidth = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        QFont bold = box->font();
        bold.setBold(true);
        captionWidth = QFontMetrics(bold).horizontalAdvance(box->windowTitle());
        boxWidth = box->width();
        box->accept();
    });
    // A short message: the box would be sized for "OK" alone.
    Prompt().Show(frame.get(), QStringLiteral("OK"), CPrompt::Icon::Information);
    SetPrompt(&prompt);
    ASSERT_GT(captionWidth, 0) << "no message box showed";
    EXPECT_GT(boxWidth, captionWidth);
}

INSTANTIATE_TEST_SUITE_P(Languages, MenuAndMessageTexts, ::testing::Values(0, 1),
                         [](const auto& info) {
                             return std::string(info.param == 0 ? "English" : "Chinese");
                         });

}  // namespace
}  // namespace rv
