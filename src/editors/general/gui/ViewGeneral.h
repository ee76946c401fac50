#pragma once
// The general settings views: VOX, volume, microphone, miscellaneous and mode. Each is one
// record shown through controls bound to the record's fields by key; every edit is stored at
// once. The rules (edition lists, entries a model does not offer, the clone rule) live in the
// blocks; the views only apply them to their controls.

#include "ui/FieldForm.h"

namespace rv {

/// VOX gain level, delay time. A change of the gain level raises the VOX notice, so that the
/// key block and every open key view drop the side-key VOX function when VOX goes off.
class CViewVox : public CRecordFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 4420;
    struct Control {
        static constexpr int kGainLevel = 4430;
        static constexpr int kDelayTime = 4432;
    };
    explicit CViewVox(QWidget* parent = nullptr);
    /// The boxes the user changed go through the VOX record's edit function; its notices
    /// (VOX switched off frees the side keys) are raised for the other views.
    void Store() override;
};

/// The alert tone volume (the other volume bytes are carried unchanged).
class CViewVolume : public CRecordFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 4900;
    struct Control {
        static constexpr int kAlertTone = 4908;
    };
    explicit CViewVolume(QWidget* parent = nullptr);
};

/// Internal and external microphone gains.
class CViewMicrophone : public CRecordFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 6500;
    struct Control {
        static constexpr int kInternalGain = 6502;
        static constexpr int kExternalGain = 6504;
    };
    explicit CViewMicrophone(QWidget* parent = nullptr);
};

/// Squelch level, tail revert, battery save and the LEDs; the editions offer no battery-save
/// mode 2, and only one model shows the channel change beep.
class CViewMisc : public CRecordFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 1400;
    struct Control {
        static constexpr int kTailRevert = 1402;
        static constexpr int kSquelchLevel = 1404;
        static constexpr int kBatterySaveDelay = 1412;
        static constexpr int kBatterySaveMode = 1414;
        static constexpr int kPowerLed = 1415;
        static constexpr int kScanLed = 1416;
        static constexpr int kChannelChangeBeep = 1418;
    };
    explicit CViewMisc(QWidget* parent = nullptr);
};

/// Panel test, clone and factory clone modes: factory clone only while clone is on.
class CViewMode : public CRecordFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 4650;
    struct Control {
        static constexpr int kFactoryClone = 4658;
        static constexpr int kPanelTest = 4660;
        static constexpr int kClone = 4661;
    };
    explicit CViewMode(QWidget* parent = nullptr);
    void Reload() override;
    /// The boxes the user changed go through the mode record's edit function (the clone rule
    /// clears Factory Clone Mode when the user turns Clone Mode off).
    void Store() override;

private:
    /// Greys "Factory Clone Mode" while "Clone Mode" is off (a stored factory clone stays).
    void ApplyCloneRule();
};

}  // namespace rv
