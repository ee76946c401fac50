#pragma once
// The Base Band screen: the switch that allows base-band tuning, the transmit and receive
// pages that share one set of controls, and READ and WRITE of the 23 base-band bytes on the
// connection the command (or the Tuning screen) holds.

#include <QDialog>
#include <map>
#include <set>

#include "service/BaseBand.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace rv {

class CDlgBaseBand : public QDialog {
    Q_OBJECT
public:
    /// The screen on an open connection; it shows the record, and reads the radio once when
    /// it is first shown.
    CDlgBaseBand(CRadioProtocol& link, CTuneBlock& block, QWidget* parent = nullptr);

    /// READ: the base-band bytes from the radio, then the shown page again.
    void Read();
    /// WRITE: the controls into the shown page, then the bytes to the radio.
    void Write();
    /// Shows a page; the controls are stored into the page shown before. Choosing the page
    /// already shown does nothing.
    void ChoosePage(BaseBandPage page);
    BaseBandPage Page() const { return page_; }

    QCheckBox* AllowSwitch() const { return allow_; }
    QRadioButton* PageButton(BaseBandPage page) const
    {
        return page == BaseBandPage::Tx ? tx_ : rx_;
    }
    QLabel* PageLabel() const { return pageLabel_; }
    /// The choice field or switch of a control (nullptr for another id).
    QComboBox* Combo(int id) const;
    QCheckBox* Switch(int id) const;
    QPushButton* ReadButton() const { return read_; }
    QPushButton* WriteButton() const { return write_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPage();
    void StorePage(BaseBandPage page);
    void UpdateEnabling();

    CRadioProtocol& link_;
    CTuneBlock& block_;
    BaseBandPage page_ = BaseBandPage::Tx;
    bool readOnShow_ = true;
    std::set<int> edited_;  // controls the user changed since the page was shown
    QCheckBox* allow_;
    QRadioButton* rx_;
    QRadioButton* tx_;
    QLabel* pageLabel_;
    std::map<int, QComboBox*> combos_;
    std::map<int, QCheckBox*> switches_;
    std::map<int, QLabel*> labels_;
    QPushButton* read_;
    QPushButton* write_;
};

}  // namespace rv
