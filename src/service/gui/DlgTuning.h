#pragma once
// The Tuning screen (the entry list of the adjustment) and the Tune Sub Item screen that
// adjusts one entry's items on the radio: channel spacing, one tab per point, the value bar
// sent on release, the tuning volume of receive entries and the transmitter switch of the
// others. Both run on a connection the Adjustment command has put into adjustment mode.

#include <QDialog>
#include <array>
#include <vector>

#include "service/Tuning.h"

class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QTabBar;

namespace rv {

class CTestFreqBlock;

/// Interface texts of the tuning screens beyond the numbered controls.
struct TuningText {
    static constexpr int kTitle = 7002;
    static constexpr int kSubItemTitle = 7004;
    static constexpr int kBaseBand = 7059;
    static constexpr int kOk = 7075;
    static constexpr int kWide = 7074, kMiddle = 7085, kNarrow = 7073;
    static constexpr int kTransmit = 7071;
    static constexpr int kValueMin = 7079, kValueMax = 7078, kValue = 7080;
    static constexpr int kVolumeMax = 7082, kVolumeMin = 7083, kVolume = 7084;
    static constexpr int kRxFrequency = 40000;
    static constexpr int kTxFrequency = 40001;
    static constexpr int kSpacing = 40002;
    static constexpr int kValueGroup = 40003;
    static constexpr int kVolumeGroup = 40004;
    static constexpr int kEntries = 40005;
    static constexpr int kPoint = 40009;
};

class CDlgTuning : public QDialog {
    Q_OBJECT
public:
    CDlgTuning(CAdjustment& session, const CTestFreqBlock& points, QWidget* parent = nullptr);

    /// Opens the sub-item screen of an entry (what a double click does): finds its definition
    /// (1167 without sub-items; 1168 without point names), reads the first item's value (1143
    /// or 1156 on failure) and runs the screen.
    void OpenEntry(int id, const QString& text);
    /// Opens the Base Band screen on the same connection.
    void OpenBaseBand();

    QListWidget* EntryList() const { return list_; }
    QPushButton* BaseBandButton() const { return baseBand_; }

private:
    CAdjustment& session_;
    const CTestFreqBlock& points_;
    QListWidget* list_;
    QPushButton* baseBand_;
};

class CDlgTuneSubItem : public QDialog {
    Q_OBJECT
public:
    /// The screen of an entry; value holds the first item's 2 bytes as read from the radio.
    CDlgTuneSubItem(CAdjustment& session, const QString& title, const TuneDefinition& definition,
                    std::array<uint8_t, 2> value, const CTestFreqBlock& points,
                    QWidget* parent = nullptr);

    /// The item adjusted now.
    uint16_t CurrentItem() const { return current_.item; }
    TuneGroup Group() const { return group_; }
    /// Chooses a group (as its spacing button does) and reads its first item.
    void ChooseGroup(TuneGroup group);

    QPushButton* SpacingButton(TuneGroup g) const { return spacing_[static_cast<size_t>(g)]; }
    QTabBar* Tabs() const { return tabs_; }
    QSlider* ValueBar() const { return value_; }
    QSlider* VolumeBar() const { return volume_; }
    QPushButton* TransmitSwitch() const { return transmit_; }
    QLabel* RxLabel() const { return rx_; }
    QLabel* TxLabel() const { return tx_; }
    QLabel* ValueLabel() const { return valueText_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

public slots:
    void accept() override;
    void reject() override;

private:
    void FillTabs();
    void ChooseTab(int index);
    void ShowPoint();
    void SetBarValue(int value);
    void SendValue();
    void SendVolume();
    void SwitchTransmit(bool on);
    void TransmitOff();
    void UpdateTransmitCaption();
    // Reports a failed step and closes the screen, ending the visit without keeping.
    void FailAndClose(const TuneResult& result);
    void Finish(bool keep);

    CAdjustment& session_;
    const TuneDefinition definition_;
    const CTestFreqBlock& points_;
    std::vector<std::string> names_;
    TuneGroup group_ = TuneGroup::Wide;
    TuneSubItem current_;
    bool filling_ = false;
    bool finished_ = false;
    int sentValue_ = -1;
    int sentVolume_ = kTuneVolumeStart;

    std::array<QPushButton*, kTuneGroupCount> spacing_{};
    QTabBar* tabs_;
    QLabel* rx_;
    QLabel* tx_;
    QSlider* value_;
    QLabel* valueText_;
    QSlider* volume_;
    QLabel* volumeText_;
    QPushButton* transmit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace rv
