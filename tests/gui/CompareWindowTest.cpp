// File > Compare With: the open configuration against a data file and against the simulated
// radio on a pseudo-terminal, listed field by field; a row leads to the view on its field; an
// equal file says so; a file that cannot be read says why and changes nothing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>
#include <memory>

#include "base/CommandIds.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/gui/ViewChannel.h"
#include "editors/general/VoxBlock.h"
#include "editors/scan/ScanData.h"
#include "gui/GuiTestSupport.h"
#include "link/LinkTestSupport.h"
#include "link/gui/DlgTransfer.h"
#include "shell/CompareCommands.h"
#include "ui/CustomFormView.h"

namespace rv {
namespace {

/// 433.50000 MHz as a packed-decimal frequency.
constexpr uint32_t k433_5 = 0x43350000;

/// The records and image of the radio data, to see that nothing changed.
std::vector<uint8_t> State()
{
    std::vector<uint8_t> out(Radio().MemoryImage().begin(), Radio().MemoryImage().end());
    const Image packed = Radio().MemoryMap().PackedImage(false);
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

class CompareWindowTest : public test::GuiTest {
protected:
    void TearDown() override
    {
        SetCompareReadRunner({});
        radio.reset();
        SetSerialDeviceSource({});
        GuiTest::TearDown();
    }
    /// Saves the open configuration as it is now.
    std::string Save(const std::string& name)
    {
        const std::string path = home.Path(name);
        EXPECT_TRUE(frame->Document().SaveTo(path, "").Ok());
        return path;
    }
    /// The row whose difference is the field key of item index of record.
    int Row(CDlgCompare& dialog, const std::string& record, size_t index, const std::string& key)
    {
        const auto& diffs = dialog.Differences();
        for (size_t k = 0; k < diffs.size(); ++k)
            if (diffs[k].record == record && diffs[k].index == index && diffs[k].key == key)
                return static_cast<int>(k);
        return -1;
    }
    std::unique_ptr<sim::CRadioSim> radio;
};

TEST_F(CompareWindowTest, AFileIsListedFieldByFieldAndARowOpensTheFieldsView)
{
    const std::string plan = Save("plan.dat");
    Radio().Channels()[2]->SetRxFreq(k433_5);
    const size_t channels = Radio().Channels().size();
    Radio().Channels().pop_back();
    const std::vector<uint8_t> before = State();

    CDlgCompare* dialog = ShowCompareWindow(*frame);
    ASSERT_TRUE(dialog->CompareWithFile(QString::fromStdString(plan)));
    EXPECT_EQ(State(), before);
    // Channel 3's frequency, and the last channel only the file has (with the ring links of
    // the channels before it).
    const int rows = dialog->Table()->topLevelItemCount();
    ASSERT_EQ(static_cast<size_t>(rows), dialog->Differences().size());
    const int rx = Row(*dialog, "channel", 3, "rx_frequency");
    ASSERT_GE(rx, 0);
    QTreeWidgetItem* item = dialog->Table()->topLevelItem(rx);
    EXPECT_TRUE(item->text(0).startsWith(QStringLiteral("Channel 3, ")))
        << item->text(0).toStdString();
    EXPECT_EQ(item->text(1), QStringLiteral("433.50000"));
    EXPECT_NE(item->text(2), item->text(1));
    const int gone = Row(*dialog, "channel", channels, "");
    ASSERT_GE(gone, 0);
    EXPECT_TRUE(dialog->Table()->topLevelItem(gone)->text(1).isEmpty());
    EXPECT_FALSE(dialog->Table()->topLevelItem(gone)->text(2).isEmpty());
    EXPECT_TRUE(dialog->Summary()->text().startsWith(QString::number(rows) + ' '));
    for (const Difference& d : dialog->Differences()) EXPECT_EQ(d.record, "channel") << d.key;

    // Double-click: the channel view on channel 3, its receive frequency focused.
    frame->show();
    emit dialog->Table()->itemActivated(item, 0);
    QApplication::setActiveWindow(frame.get());
    Settle();
    auto* view = dynamic_cast<CViewChannel*>(frame->FindView(Id(Command::Channel)));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->CurrentRecord(), 3);
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->property("rvFieldKey").toString(), QStringLiteral("rx_frequency"));
    EXPECT_TRUE(view->isAncestorOf(box));
    EXPECT_EQ(box->text(), QStringLiteral("433.50000"));
    dialog->close();
    // The main window is destroyed (by the fixture) with the receive frequency box focused:
    // the box commits as its view goes, and that must not reach views already half destroyed.
}

TEST_F(CompareWindowTest, RowsOfOtherRecordsOpenTheirViewsOnTheField)
{
    const std::string plan = Save("plan.dat");
    // Scan list 1's second member and the VOX delay differ.
    CScanData& scan = *Radio().ScanLists()[0];
    scan.Raw()[CScanData::Offset::Members + 1] = 5;
    scan.ResolveLinks();
    CRawRecord& vox = Radio().Vox().Raw();
    vox[1] = static_cast<uint8_t>(vox[1] == 0 ? 1 : 0);

    CDlgCompare* dialog = ShowCompareWindow(*frame);
    ASSERT_TRUE(dialog->CompareWithFile(QString::fromStdString(plan)));
    frame->show();
    struct Case {
        std::string record;
        size_t index;
        std::string key;
        int view;
    };
    for (const Case& c : {Case{"scan_list", 1, "member_2", Id(Command::Scan)},
                          Case{"vox", 0, "delay_time", Id(Command::Vox)}}) {
        SCOPED_TRACE(c.key);
        const int row = Row(*dialog, c.record, c.index, c.key);
        ASSERT_GE(row, 0);
        dialog->GoToRow(row);
        QApplication::setActiveWindow(frame.get());
        Settle();
        CCustomFormView* view = frame->FindView(c.view);
        ASSERT_NE(view, nullptr);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_TRUE(view->isAncestorOf(focused));
        EXPECT_EQ(focused->property("rvFieldKey").toString().toStdString(), c.key);
    }
    dialog->close();
    frame->CloseAllViews();
}

TEST_F(CompareWindowTest, AnEqualFileSaysSoAndABrokenOneSaysWhyAndChangesNothing)
{
    const std::string same = Save("same.dat");
    CDlgCompare* dialog = ShowCompareWindow(*frame);
    ASSERT_TRUE(dialog->CompareWithFile(QString::fromStdString(same)));
    EXPECT_EQ(dialog->Table()->topLevelItemCount(), 0);
    EXPECT_TRUE(prompt.Saw(CompareMessage::kEqual));

    // A difference listed, then files that cannot be read: message, list and data as they were.
    Radio().Channels()[0]->SetRxFreq(k433_5);
    ASSERT_TRUE(dialog->CompareWithFile(QString::fromStdString(same)));
    ASSERT_EQ(dialog->Table()->topLevelItemCount(), 1);
    const std::vector<uint8_t> before = State();
    const std::string doc = frame->Document().Path();
    std::ofstream(home.Path("noise.dat"), std::ios::binary) << "QTX not really a data file";
    struct Case {
        std::string path;
        int message;
    };
    for (const Case& c : {Case{home.Path("noise.dat"), DocMessage::kReadFailed},
                          Case{home.Path("missing.dat"), DocMessage::kReadFailed},
                          Case{home.Dir(), DocMessage::kReadFailed}}) {
        SCOPED_TRACE(c.path);
        prompt.shown.clear();
        EXPECT_FALSE(dialog->CompareWithFile(QString::fromStdString(c.path)));
        EXPECT_TRUE(prompt.Saw(c.message));
        EXPECT_EQ(dialog->Table()->topLevelItemCount(), 1);
        EXPECT_EQ(State(), before);
        EXPECT_EQ(frame->Document().Path(), doc);
    }
    dialog->close();
}

TEST_F(CompareWindowTest, TheRadioIsReadBesideTheOpenConfiguration)
{
    SetSerialDeviceSource([] { return std::vector<std::string>{}; });
    // The radio holds this configuration with channel 2 on 433.5 MHz.
    Radio().Channels()[1]->SetRxFreq(k433_5);
    const Image inRadio = Radio().MemoryMap().PackedImage(false);
    Radio().Channels()[1]->SetRxFreq(Radio().Channels()[0]->RxFreq());
    radio = std::make_unique<sim::CRadioSim>(sim::SimOptions{});
    ASSERT_TRUE(radio->Start());
    CIniFile::WriteString(home.Path("Settings.ini"), "Ports",
                          "COM" + std::to_string(test::kSimPort), radio->DevicePath());
    Settings().SetComPort(test::kSimPort);
    sim::Memory memory{};
    std::copy(inRadio.begin(), inRadio.end(), memory.begin());
    radio->SetMemory(memory);
    const std::vector<uint8_t> before = State();

    SetCompareReadRunner([](CDlgTransfer& transfer) {
        QTimer::singleShot(0, &transfer, [&transfer] { transfer.Start(); });
        return transfer.exec();
    });
    CDlgCompare* dialog = ShowCompareWindow(*frame);
    ASSERT_TRUE(dialog->CompareWithRadio());
    EXPECT_EQ(State(), before);
    const int rx = Row(*dialog, "channel", 2, "rx_frequency");
    ASSERT_GE(rx, 0);
    EXPECT_EQ(dialog->Table()->topLevelItem(rx)->text(2), QStringLiteral("433.50000"));
    // Only header lines may differ besides (the radio's own identity).
    for (const Difference& d : dialog->Differences()) {
        if (d.kind != DifferenceKind::Header) {
            EXPECT_EQ(d.key, "rx_frequency") << d.record;
        }
    }
    dialog->close();
}

}  // namespace
}  // namespace rv
