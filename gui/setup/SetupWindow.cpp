#include "gui/setup/SetupWindow.h"

#include "core/config/KvmConfig.h"
#include "core/config/LayoutFile.h"
#include "core/config/PortMapping.h"
#include "core/config/ProfileFile.h"
#include "core/link/TransferMessages.h"
#include "core/link/TransferService.h"
#include "core/link/UploadCommands.h"
#include "core/platform/Prompts.h"
#include "gui/platform/ComboBoxAccessibility.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/Widgets.h"
#include "gui/setup/WindowTransfer.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

#include <utility>

namespace {

constexpr int kClientWidth = 739;
constexpr int kClientHeight = 180;

QFont boldFont(const QWidget* widget)
{
    QFont font = widget->font();
    font.setBold(true);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    QLabel* label = makeWidget<QLabel>(parent, name, geometry);
    label->setText(caption);
    label->setFont(boldFont(parent));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QComboBox* makeList(QWidget* parent, const char* name, const QStringList& items, const QRect& geometry)
{
    QComboBox* list = makeWidget<QComboBox>(parent, name, geometry);
    list->addItems(items);
    return list;
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    QCheckBox* box = makeWidget<QCheckBox>(parent, name, geometry);
    box->setText(caption);
    box->setFont(boldFont(parent));
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    QPushButton* button = makeWidget<QPushButton>(parent, name, geometry);
    button->setText(caption);
    return button;
}

// Selects `item`, or nothing when the list has no such item.
void selectItem(QComboBox* list, int item)
{
    list->setCurrentIndex(item >= 0 && item < list->count() ? item : -1);
}

}  // namespace

TfrmSetup::TfrmSetup(Prompts& prompts, ConfigRecords& config, TransferService& transfers,
                     const PortDiscovery& discovery, const QString& settingsPath, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
    , prompts_(prompts)
    , config_(config)
    , transfers_(transfers)
    , discovery_(discovery)
    , settingsPath_(settingsPath)
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Velmar Torvik Setup v3.13"));
    setFont(FormFont());
    setFixedSize(kClientWidth, kClientHeight);
    InstallComboBoxAccessibility();
    createWidgets();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // A download's commit refreshes the window (and through it the editor)
    // by a posted message, as the switch's reply is still being received.
    connect(&transfers_, &TransferService::committed, this, [this](bool layoutOnly) {
        QCoreApplication::postEvent(this, new QEvent(layoutOnly ? WM_LAYOUT_UPDATED : WM_CONFIG_UPDATED));
    });
    connect(&transfers_, &TransferService::runningChanged, this, &TfrmSetup::transferRunningChanged);
    // The transfers open the COM name of the chosen item, whatever its text.
    connect(cmbCOMPort, &QComboBox::currentIndexChanged, this,
            [this](int item) { transfers_.setPortName("COM" + std::to_string(cmbCOMPort->comNumber(item))); });
    // Adapters come and go: where each name leads is worked out again
    // whenever the list opens.
    connect(cmbCOMPort, &TPortList::aboutToShowPopup, this, &TfrmSetup::refreshPorts);
    FormCreate();
}

void TfrmSetup::createWidgets()
{
    // First row: the three lists.
    lblCOMPort = makeLabel(this, "lblCOMPort", QStringLiteral("COM Port"), {16, 20, 64, 22});
    cmbCOMPort = makeWidget<TPortList>(this, "cmbCOMPort", {88, 20, 81, 22});
    lblStartPort = makeLabel(this, "lblStartPort", QStringLiteral("Startup Port"), {192, 20, 80, 22});
    cmbStartPort = makeList(this, "cmbStartPort", {"1", "2", "3", "4"}, {280, 20, 57, 22});
    lblHotKey = makeLabel(this, "lblHotKey", QStringLiteral("Hotkey"), {360, 20, 48, 22});
    cmbHotKey = makeList(this, "cmbHotKey", {"Ctrl Ctrl", "Alt Alt", "Shift Shift", "Scroll Scroll"},
                         {416, 20, 129, 22});

    // Second row: mouse speed and pointer precision.
    lblMouseSpeed = makeLabel(this, "lblMouseSpeed", QStringLiteral("Mouse Speed"), {16, 64, 84, 22});
    barSlider = makeWidget<QSlider>(this, "barSlider", {104, 58, 233, 34});
    barSlider->setOrientation(Qt::Horizontal);
    barSlider->setRange(0, 10);
    barSlider->setSingleStep(1);
    barSlider->setPageStep(2);
    barSlider->setTickPosition(QSlider::TicksBelow);
    barSlider->setTickInterval(1);
    barSlider->setToolTip(QStringLiteral("Mouse speed for Glidex mode"));
    chkPrecision = makeCheckBox(this, "chkPrecision", QStringLiteral("Enhance pointer precision"),
                                {360, 64, 185, 22});

    // Third row: switch position and KVM mode.
    lblSwitchPos = makeLabel(this, "lblSwitchPos", QStringLiteral("Switch Position"), {16, 108, 96, 22});
    cmbSwitchPos = makeList(this, "cmbSwitchPos", {"Last position", "Center of screen"}, {120, 108, 129, 22});
    chkKVM = makeCheckBox(this, "chkKVM", QStringLiteral("KVM Mode (Glidex OFF)"), {360, 108, 185, 22});

    // Right-hand column: the editor and the two transfers.
    btnGlidex = makeButton(this, "btnGlidex", QStringLiteral("Glidex Layout"), {584, 12, 137, 33});
    btnGlidex->setFont(boldFont(this));
    btnLoadConfig = makeButton(this, "btnLoadConfig", QStringLiteral("Load Config"), {584, 52, 137, 33});
    btnSaveConfig = makeButton(this, "btnSaveConfig", QStringLiteral("Save Config"), {584, 92, 137, 33});

    // Bottom row.
    btnDefault = makeButton(this, "btnDefault", QStringLiteral("Reset to Default"), {432, 140, 137, 28});
    btnExit = makeButton(this, "btnExit", QStringLiteral("Exit"), {584, 140, 137, 28});

    // Each caption names its control for screen readers (Qt's "labelled
    // by" relation, which they read before the control's own name).
    lblCOMPort->setBuddy(cmbCOMPort);
    lblStartPort->setBuddy(cmbStartPort);
    lblHotKey->setBuddy(cmbHotKey);
    lblMouseSpeed->setBuddy(barSlider);
    lblSwitchPos->setBuddy(cmbSwitchPos);

    const QList<QWidget*> tabOrder = {cmbCOMPort, cmbStartPort, cmbHotKey,     barSlider,
                                      chkPrecision, cmbSwitchPos, chkKVM,      btnGlidex,
                                      btnLoadConfig, btnSaveConfig, btnExit,   btnDefault};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);

    connect(btnDefault, &QPushButton::clicked, this, &TfrmSetup::btnDefaultClick);
    connect(btnExit, &QPushButton::clicked, this, &TfrmSetup::btnExitClick);
    connect(btnGlidex, &QPushButton::clicked, this, &TfrmSetup::btnGlidexClick);
    connect(btnLoadConfig, &QPushButton::clicked, this, &TfrmSetup::btnLoadConfigClick);
    connect(btnSaveConfig, &QPushButton::clicked, this, &TfrmSetup::btnSaveConfigClick);

}

void TfrmSetup::FormCreate()
{
    refreshPorts();

    const SetupSettings settings = ReadSetupSection(settingsPath_);
    config_.KvmConfig = FiledConfig(settings);
    cmbCOMPort->chooseComNumber(settings.COMPort);
    RecordToWidgets();

    // Without a readable "Layout" section the layout stays empty.
    ReadLayoutFile(settingsPath_, config_.KvmLayout);
}

void TfrmSetup::refreshPorts()
{
    portNames_ = CurrentPortNames(settingsPath_, discovery_);
    transfers_.setPortNames(portNames_);
    cmbCOMPort->setComNumbers(portNames_.listedNumbers(cmbCOMPort->chosenComNumber()));
    for (int item = 0; item < cmbCOMPort->count(); ++item)
        cmbCOMPort->setItemText(item, PortItemText(cmbCOMPort->comNumber(item), portNames_));
    // The open list is as wide as its longest item; the closed one keeps its size.
    QAbstractItemView* view = cmbCOMPort->view();
    view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth() + 8);
}

void TfrmSetup::RecordToWidgets()
{
    selectItem(cmbStartPort, config_.KvmConfig.Start - 1);
    chkKVM->setChecked(config_.KvmConfig.Glidex == 0);
    selectItem(cmbHotKey, config_.KvmConfig.HotKey);
    chkPrecision->setChecked((config_.KvmConfig.Slider & kSliderPrecision) != 0);
    barSlider->setValue(config_.KvmConfig.Slider & 15);
    selectItem(cmbSwitchPos, SwitchPosToItem(config_.KvmConfig.SwitchPos));
}

void TfrmSetup::btnDefaultClick()
{
    if (transfers_.running())
        return;
    const MsgAnswer answer = prompts_.messageBox(nullptr, QStringLiteral("Reset Config and Glidex Layout to default?"),
                                                 QStringLiteral("Confirm"), MsgButtons::OkCancel);
    if (answer != MsgAnswer::Ok)
        return;
    // Only the working configuration changes; the file and the switch keep
    // theirs until Save Config.
    ResetToDefaults(config_.KvmConfig, config_.KvmLayout);
    resetPosted_ = true;
    QCoreApplication::postEvent(this, new QEvent(WM_CONFIG_UPDATED));
}

void TfrmSetup::btnExitClick()
{
    close();
}

void TfrmSetup::setLayoutEditor(LayoutEditor* editor)
{
    editor_ = editor;
}

void TfrmSetup::btnGlidexClick()
{
    if (editor_ && !transfers_.running())
        editor_->ShowEditor();
}

std::array<QPushButton*, 4> TfrmSetup::transferLockedButtons() const
{
    // The editor too: shown modally in the middle of a transfer it would hold
    // the transfer's waiting loop (port open, result box delayed) behind it.
    return {btnGlidex, btnLoadConfig, btnSaveConfig, btnDefault};
}

void TfrmSetup::transferRunningChanged(bool running)
{
    if (running)
        focusBeforeTransfer_ = focusWidget();
    for (QPushButton* button : transferLockedButtons())
        button->setEnabled(!running);
    if (!running && focusBeforeTransfer_ && focusBeforeTransfer_->isEnabled())
        focusBeforeTransfer_->setFocus(Qt::OtherFocusReason);
    if (!running && closePending_)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TfrmSetup::closeEvent(QCloseEvent* event)
{
    // The port and the waiting loops belong to the running transfer: the
    // window closes once it has ended.
    if (transfers_.running()) {
        closePending_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

std::optional<TransferResult> TfrmSetup::LoadConfig(bool layoutOnly, bool showFinished)
{
    std::optional<TransferResult> result;
    transfers_.run([&] {
        result = RunWindowTransfer(
            this, prompts_, transfers_, TransferCommand::LoadConfig,
            [&] { return transfers_.download(layoutOnly); }, showFinished);
    });
    return result;
}

void TfrmSetup::btnLoadConfigClick()
{
    LoadConfig(false, true);
}

void TfrmSetup::btnSaveConfigClick()
{
    SaveConfig();
}

void TfrmSetup::WidgetsToRecord()
{
    // A list without a selection counts as item -1.
    config_.KvmConfig.Start = cmbStartPort->currentIndex() + 1;
    config_.KvmConfig.Glidex = chkKVM->isChecked() ? 0 : 1;
    config_.KvmConfig.HotKey = cmbHotKey->currentIndex();
    config_.KvmConfig.Slider = barSlider->value() + (chkPrecision->isChecked() ? kSliderPrecision : 0);
    config_.KvmConfig.SwitchPos = (cmbSwitchPos->currentIndex() + 255) % 256;
}

void TfrmSetup::SaveConfig()
{
    transfers_.run([this] {
        WidgetsToRecord();
        // The settings file first: it keeps the settings even when the switch
        // cannot be reached. When it cannot be written the user learns why
        // before the transfer goes on.
        // The chosen COM name is kept with the device it leads to now, so that
        // the next save goes to the same adapter whatever is plugged in since.
        const int comPort = cmbCOMPort->chosenComNumber();
        ProfileFile settingsFile(settingsPath_);
        WriteSetup(settingsFile, FileSettings(comPort, config_.KvmConfig));
        KeepPortWithDevice(settingsFile, comPort, portNames_);
        // The program's own settings file: its folder is made by the first save.
        const FileResult settingsSaved = settingsFile.save(MissingFolder::Make);
        FileResult layoutSaved;
        const bool layoutValid = !editor_ || editor_->CheckLayout(false) == 0;
        if (!layoutValid) {
            prompts_.messageBox(nullptr, QStringLiteral("Glidex Layout is invalid! Skip to save Glidex Layout."),
                                QStringLiteral("Warning"), MsgButtons::Ok);
        } else {
            if (editor_)
                editor_->StoreToConfig();
            layoutSaved = WriteLayoutFile(settingsPath_, config_.KvmLayout, true, MissingFolder::Make);
        }
        // The first failure's reason is the one told.
        if (!settingsSaved.ok() || !layoutSaved.ok())
            ReportFileNotSaved(prompts_, settingsPath_, settingsSaved.ok() ? layoutSaved.reason : settingsSaved.reason);

        RunWindowTransfer(this, prompts_, transfers_, TransferCommand::SaveConfig, [&] {
            return transfers_.upload(SaveConfigCommands(config_.KvmConfig, config_.KvmLayout, layoutValid));
        });
    });
}

bool TfrmSetup::event(QEvent* event)
{
    if (event->type() == WM_CONFIG_UPDATED) {
        WMConfigUpdated();
        return true;
    }
    if (event->type() == WM_LAYOUT_UPDATED) {
        WMLayoutUpdated();
        return true;
    }
    return QWidget::event(event);
}

void TfrmSetup::WMConfigUpdated()
{
    // A downloaded switch position may be anything; the record keeps the
    // corrected value. The other values show as they are, and one without a
    // list item leaves its list without a selection.
    config_.KvmConfig.SwitchPos = NormalizedSwitchPos(config_.KvmConfig.SwitchPos);
    RecordToWidgets();
    layoutChanged(std::exchange(resetPosted_, false) ? btnDefault->text() : btnLoadConfig->text());
}

void TfrmSetup::WMLayoutUpdated()
{
    // Only the editor's Load Layout downloads the layout alone.
    layoutChanged(QStringLiteral("Load Layout from Torvik"));
}

void TfrmSetup::layoutChanged(const QString& command)
{
    if (editor_)
        editor_->LoadFromConfig(command);
    emit layoutUpdated();
}
