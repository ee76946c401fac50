#pragma once
// Model Information screen: the model name, frequency range and signalling the data belong to.
// The lists come from the model catalogue and the language file; what a change does to the
// data (nothing, a new name, or a reset to the new model's default set after a question) is
// decided by the document.

#include <QDialog>

#include "data/ModelCatalog.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace rv {

class CQTXDoc;
class IMainShell;

/// Text and control numbers of the Model Information screen.
struct ModelInfoText {
    static constexpr int kCaption = 1070;
    static constexpr int kNameLabel = 1071;
    static constexpr int kNameList = 1072;
    static constexpr int kRangeLabel = 1073;
    static constexpr int kRangeList = 1074;
    static constexpr int kSignalLabel = 1075;
    static constexpr int kSignalList = 1076;  ///< also the choice list of the signalling
};

class CDlgModelInfo : public QDialog {
    Q_OBJECT
public:
    /// Opens on an identity: every name of the catalogue, the ranges of the identity's model,
    /// the signalling list; the identity's name, range and signalling selected.
    explicit CDlgModelInfo(const ModelIdentity& current, QWidget* parent = nullptr);
    /// The identity the lists show now.
    ModelIdentity Chosen() const;
    /// Picks a model name as the user does (the ranges and signalling follow).
    void PickName(const QString& name);

    QComboBox* NameList() const { return names_; }
    QComboBox* RangeList() const { return ranges_; }
    QComboBox* SignalList() const { return signals_; }
    QPushButton* OkButton() const { return ok_; }

private:
    void FillRanges(const std::string& modelId);
    void ApplySignalRule();
    void UpdateOk();

    std::string modelId_;
    QComboBox* names_ = nullptr;
    QComboBox* ranges_ = nullptr;
    QComboBox* signals_ = nullptr;
    QPushButton* ok_ = nullptr;
};

/// The screen on a given document: OK hands the chosen identity to the document's model
/// change and refreshes the main window.
void RunModelInformation(IMainShell& shell, CQTXDoc& document);

}  // namespace rv
