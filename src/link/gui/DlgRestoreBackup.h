#pragma once
// File > Restore Backup...: the backups taken before writes, newest first, with their time,
// the radio's serial number and their comment; the one chosen is written to the radio through
// the transfer screen as any write is (with a backup of its own and a verify). The open data
// are not changed.

#include <QDialog>
#include <string>
#include <vector>

#include "link/SafeWrite.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace rv {

class IMainShell;

/// Interface texts of the restore screen and the link trace command (texts "S02%05d").
struct RestoreText {
    static constexpr int kTitle = 40303;
    static constexpr int kInstruction = 40304;
    static constexpr int kTimeColumn = 40305;
    static constexpr int kSerialColumn = 40306;
    static constexpr int kCommentColumn = 40307;
    static constexpr int kFileColumn = 40308;
    static constexpr int kRestoreButton = 40309;
};

/// Messages of the restore screen (texts "S01%05d").
struct RestoreMessage {
    static constexpr int kNoBackups = 1791;    ///< %s the folders looked in
    static constexpr int kConfirm = 1792;      ///< %s the backup
    static constexpr int kNotReadable = 1793;  ///< %s the backup
    /// a backup of another model or range (%s its model, %s its range, %s and %s the current)
    static constexpr int kOtherModel = 3035;
};

/// The backups of every folder backups are kept in, newest first.
std::vector<BackupEntry> AllBackups();

class CDlgRestoreBackup : public QDialog {
    Q_OBJECT
public:
    explicit CDlgRestoreBackup(QWidget* parent = nullptr);

    /// The backup chosen (after Restore); "" when none.
    const std::string& ChosenPath() const { return chosen_; }
    QTreeWidget* List() const { return list_; }
    QPushButton* RestoreButton() const { return restore_; }

private:
    void Choose();

    std::vector<BackupEntry> backups_;
    std::string chosen_;
    QTreeWidget* list_ = nullptr;
    QPushButton* restore_ = nullptr;
};

/// File > Restore Backup...: the list, the question, then the write of the backup chosen.
/// True when the backup was written (and verified, when that is on).
bool RunRestoreBackup(IMainShell& shell);

}  // namespace rv
