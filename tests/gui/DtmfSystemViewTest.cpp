// The DTMF system view on real widgets: the Primary ID field takes DTMF keys only, stores what
// the user typed, the Advanced page announces its changes, and the view never makes a second
// system (the image has room for one).

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "base/CommandIds.h"
#include "data/RadioData.h"
#include "editors/common/ListCommand.h"
#include "editors/dtmf/DtmfFieldTable.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/dtmf/gui/ViewDTMFSystem.h"
#include "gui/GuiTestSupport.h"

namespace rv {
namespace {

class DtmfSystemView : public test::GuiTest {
protected:
    CViewDTMFSystem* Open()
    {
        return dynamic_cast<CViewDTMFSystem*>(frame->OpenView(Id(Command::DtmfSystem)));
    }
    static QLineEdit* PrimaryId(CViewDTMFSystem* view)
    {
        return qobject_cast<QLineEdit*>(view->Sheet()->Basic()->Control(kDtmfPrimaryIdBox));
    }
    static CDtmfSystemData& System() { return *Radio().DtmfSystems().front(); }
};

TEST_F(DtmfSystemView, PrimaryIdTakesDtmfKeysOnlyAndIsStoredInUpperCase)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    QLineEdit* id = PrimaryId(view);
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->text(), "12345678");

    struct Case {
        const char* typed;
        const char* shown;
    };
    for (const Case c : {Case{"1a*#", "1A*#"}, Case{"12x3", "123"}, Case{"b e9", "B9"},
                         Case{"123456789", "12345678"}}) {
        SCOPED_TRACE(c.typed);
        id->setFocus();
        id->clear();
        for (const char* key = c.typed; *key; ++key) id->insert(QString(QChar(*key)));  // typed
        EXPECT_EQ(id->text(), c.shown);
        emit id->editingFinished();
        EXPECT_EQ(System().PrimaryId(), c.shown);
    }
    // Pasted text with a character that is no key is refused as a whole.
    id->setText("77");
    emit id->editingFinished();
    id->selectAll();
    id->insert("9G9");
    EXPECT_EQ(id->text(), "77");
}

TEST_F(DtmfSystemView, NoSecondSystemAndAdvancedChangesAreAnnounced)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->OffersAddDelete());
    view->Navigate(static_cast<int>(ListCommand::Add), 0);
    view->Navigate(static_cast<int>(ListCommand::Delete), 0);
    ASSERT_EQ(Radio().DtmfSystems().size(), 1u);
    // Delete of the only system removes nothing and leaves no system current until a
    // navigation command picks one.
    EXPECT_EQ(view->CurrentRecord(), 0);
    view->Navigate(static_cast<int>(ListCommand::First), 0);
    EXPECT_EQ(view->CurrentRecord(), 1);

    std::vector<NoticeRecord> seen;
    view->Sheet()->SetSink([&](const NoticeRecord& n) { seen.push_back(n); }, view);
    auto* pretime = qobject_cast<QComboBox*>(view->Sheet()->Advanced()->Control(kPretimeList));
    ASSERT_NE(pretime, nullptr);
    const uint8_t before = System().Pretime();
    const int other = pretime->currentIndex() == 0 ? 1 : 0;
    pretime->setCurrentIndex(other);
    emit pretime->activated(other);
    EXPECT_NE(System().Pretime(), before);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().itemTextId, static_cast<uint32_t>(kPretimeList));
}

}  // namespace
}  // namespace rv
