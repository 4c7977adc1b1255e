#include "gui/editor/GlidexWindow.h"

#include "core/config/LayoutRules.h"
#include "core/layout/MonitorValues.h"
#include "core/link/TransferService.h"
#include "gui/editor/EditorAccessibility.h"
#include "gui/editor/PortLabel.h"
#include "gui/platform/ComboBoxAccessibility.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kScrollStep = 50;
constexpr int kLabelPitch = 69;       // 65 wide, 4 apart
constexpr int kLabelTop = 5;          // in the 35 pixel strip

// An entry of the resolution list: "1920 x 1080".
QString resolutionText(const Resolution& resolution)
{
    return QStringLiteral("%1 x %2").arg(resolution.Width).arg(resolution.Height);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    QLabel* label = makeWidget<QLabel>(parent, name, geometry);
    label->setText(caption);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QWidget* makeStrip(const char* name, int height)
{
    auto* strip = new QWidget;
    strip->setObjectName(QLatin1String(name));
    strip->setFixedHeight(height);
    return strip;
}

}  // namespace

TfrmGlidex::TfrmGlidex(Prompts& prompts, Pointer& pointer, ConfigRecords& config, TransferService& transfers,
                       const QString& settingsPath, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint)
    , model_(kEditorCanvas, kEditorCanvasSize, kEditorCanvasSize, this)
    , history_(model_, config.KvmLayout)
    , prompts_(prompts)
    , pointer_(pointer)
    , config_(config)
    , transfers_(transfers)
    , settingsPath_(settingsPath)
{
    setObjectName(QStringLiteral("frmGlidex"));
    model_.setObjectName(QStringLiteral("Model"));
    setFont(FormFont());
    InstallComboBoxAccessibility();
    InstallEditorAccessibility();
    createWidgets();
    resize(1280, 700);
    setMinimumSize(850, 600);
    setMaximumSize(3840, 2160);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(&drag_, &TileDrag::edgeTick, this, &TfrmGlidex::edgeScrollTick);
    FormCreate();
    connect(&transfers_, &TransferService::runningChanged, this, &TfrmGlidex::transferRunningChanged);
}

TfrmGlidex::~TfrmGlidex()
{
    // The tiles show the model's monitors: they go before the model does.
    for (TScreen* tile : screens_)
        delete tile;
}

void TfrmGlidex::createWidgets()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createMenus(layout);
    createPortPanel(layout);
    createCanvas(layout);
    createScreenPanel(layout);
    createStatusBar(layout);
}

void TfrmGlidex::createMenus(QVBoxLayout* layout)
{
    // Menu shortcuts are the window's: they work whatever widget has the
    // focus.
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    createLayoutMenu();
    createEditMenu();
    createMoveMenu();
    createViewMenu();
    mnuCheck = MainMenu->addAction(QStringLiteral("Check"));
    mnuCheck->setObjectName(QStringLiteral("mnuCheck"));
    connect(mnuCheck, &QAction::triggered, this, &TfrmGlidex::mnuCheckClick);
    layout->setMenuBar(MainMenu);
}

void TfrmGlidex::createLayoutMenu()
{
    mnuLayout = MainMenu->addMenu(QStringLiteral("Layout"));
    mnuLayout->setObjectName(QStringLiteral("mnuLayout"));
    auto addLayout = [this](const char* name, const QString& text, void (TfrmGlidex::*handler)()) {
        QAction* action = mnuLayout->addAction(text, this, handler);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mnuNew = addLayout("mnuNew", QStringLiteral("New Layout"), &TfrmGlidex::mnuNewClick);
    mnuLayout->addSeparator();
    mnuImport = addLayout("mnuImport", QStringLiteral("Import from File"), &TfrmGlidex::mnuImportClick);
    mnuExport = addLayout("mnuExport", QStringLiteral("Export to File"), &TfrmGlidex::mnuExportClick);
    mnuLayout->addSeparator();
    mnuMonitorLayout =
        addLayout("mnuMonitorLayout", QStringLiteral("Monitor Layout"), &TfrmGlidex::mnuMonitorLayoutClick);
    mnuPlaceMonitors = addLayout("mnuPlaceMonitors", QStringLiteral("Place This Computer's Monitors"),
                                 &TfrmGlidex::mnuPlaceMonitorsClick);
    mnuPlaceMonitorsFromFile = addLayout("mnuPlaceMonitorsFromFile", QStringLiteral("Place Monitors from File\u2026"),
                                         &TfrmGlidex::mnuPlaceMonitorsFromFileClick);
    mnuLayout->addSeparator();
    mnuLoadLayout =
        addLayout("mnuLoadLayout", QStringLiteral("Load Layout from Torvik"), &TfrmGlidex::mnuLoadLayoutClick);
    mnuSaveLayout =
        addLayout("mnuSaveLayout", QStringLiteral("Send Layout to Torvik"), &TfrmGlidex::mnuSaveLayoutClick);
}

void TfrmGlidex::createEditMenu()
{
    // Undo and redo name the step they take back or do again ("Undo Move
    // 2A") and are disabled when there is none. Ctrl+Y redoes as well where
    // the platform's redo keys lack it.
    mnuEdit = MainMenu->addMenu(QStringLiteral("Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuUndo = history_.Steps.createUndoAction(mnuEdit, QStringLiteral("Undo"));
    mnuUndo->setObjectName(QStringLiteral("mnuUndo"));
    mnuUndo->setShortcuts(QKeySequence::Undo);
    mnuEdit->addAction(mnuUndo);
    mnuRedo = history_.Steps.createRedoAction(mnuEdit, QStringLiteral("Redo"));
    mnuRedo->setObjectName(QStringLiteral("mnuRedo"));
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (const QKeySequence ctrlY(Qt::CTRL | Qt::Key_Y); !redoKeys.contains(ctrlY))
        redoKeys.append(ctrlY);
    mnuRedo->setShortcuts(redoKeys);
    mnuEdit->addAction(mnuRedo);
}

void TfrmGlidex::createMoveMenu()
{
    mnuMove = MainMenu->addMenu(QStringLiteral("Move"));
    mnuMove->setObjectName(QStringLiteral("mnuMove"));
    auto addMove = [this](const char* name, const QString& text, const QKeySequence& shortcut,
                          void (TfrmGlidex::*handler)()) {
        QAction* action = mnuMove->addAction(text, this, handler);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        return action;
    };
    mnuMoveUp = addMove("mnuMoveUp", QStringLiteral("Move Up"), Qt::CTRL | Qt::ALT | Qt::Key_U,
                        &TfrmGlidex::mnuMoveUpClick);
    mnuMoveDown = addMove("mnuMoveDown", QStringLiteral("Move Down"), Qt::CTRL | Qt::ALT | Qt::Key_D,
                          &TfrmGlidex::mnuMoveDownClick);
    mnuMoveLeft = addMove("mnuMoveLeft", QStringLiteral("Move Left"), Qt::CTRL | Qt::ALT | Qt::Key_L,
                          &TfrmGlidex::mnuMoveLeftClick);
    mnuMoveRight = addMove("mnuMoveRight", QStringLiteral("Move Right"), Qt::CTRL | Qt::ALT | Qt::Key_R,
                           &TfrmGlidex::mnuMoveRightClick);
    mnuMoveTopLeft = addMove("mnuMoveTopLeft", QStringLiteral("Move to Top-Left"), QKeySequence(),
                             &TfrmGlidex::mnuMoveTopLeftClick);
}

void TfrmGlidex::createPortPanel(QVBoxLayout* layout)
{
    // Top strip: the unit list and the port labels (made with the tiles).
    panPort = makeStrip("panPort", 35);
    cmbDevice = makeWidget<QComboBox>(panPort, "cmbDevice", {8, 4, 121, 22});
    cmbDevice->addItems({"Master", "Slave 1", "Slave 2", "Slave 3", "Slave 4"});
    // The list has no caption on screen; a hidden one names it for screen
    // readers, which read a caption before a control's own name.
    QLabel* deviceCaption = makeLabel(panPort, "lblDevice", QStringLiteral("Unit"), {0, 0, 0, 0});
    deviceCaption->setBuddy(cmbDevice);
    deviceCaption->hide();
    // Holds trace texts of the mouse editing; never shown.
    Label1 = makeLabel(panPort, "Label1", QStringLiteral("Label1"), {4000, 8, 40, 13});
    Label1->hide();
    layout->addWidget(panPort);
}

void TfrmGlidex::createCanvas(QVBoxLayout* layout)
{
    // The canvas: a plain white surface the tiles lie on.
    scrollLayout = new QScrollArea;
    scrollLayout->setObjectName(QStringLiteral("scrollLayout"));
    // The tiles on the canvas take the focus, not the view around them.
    scrollLayout->setFocusPolicy(Qt::NoFocus);
    imgLayout = new QWidget;
    imgLayout->setObjectName(QStringLiteral("imgLayout"));
    imgLayout->setAccessibleName(QStringLiteral("Layout"));
    imgLayout->setFixedSize(model_.CanvasSize());
    imgLayout->setAutoFillBackground(true);
    QPalette canvas = imgLayout->palette();
    canvas.setColor(QPalette::Window, Qt::white);
    imgLayout->setPalette(canvas);
    scrollLayout->setWidget(imgLayout);
    for (QScrollBar* bar : {scrollLayout->horizontalScrollBar(), scrollLayout->verticalScrollBar()}) {
        bar->setSingleStep(kScrollStep);
        bar->setTracking(true);
    }
    // A vertical wheel turn anywhere on the canvas's view, its frame and its
    // scroll bars scrolls by the window's own step (eventFilter).
    for (QWidget* part : std::initializer_list<QWidget*>{scrollLayout, scrollLayout->viewport(),
                                                         scrollLayout->horizontalScrollBar(),
                                                         scrollLayout->verticalScrollBar()})
        part->installEventFilter(this);
    layout->addWidget(scrollLayout, 1);
}

void TfrmGlidex::createScreenPanel(QVBoxLayout* layout)
{
    // Bottom panel: the selected tile's values in one row.
    panScreen = makeStrip("panScreen", 57);
    lblResolution = makeLabel(panScreen, "lblResolution", QStringLiteral("Resolution"), {16, 17, 60, 22});
    cmbResolution = makeWidget<QComboBox>(panScreen, "cmbResolution", {80, 17, 113, 22});
    lblResolution->setBuddy(cmbResolution);  // names the list for screen readers
    chkPortrait = makeWidget<QCheckBox>(panScreen, "chkPortrait", {212, 17, 73, 22});
    chkPortrait->setText(QStringLiteral("Portrait"));
    lblPosition = makeLabel(panScreen, "lblPosition", QStringLiteral("Position"), {300, 17, 48, 22});
    edtX = makeWidget<QLineEdit>(panScreen, "edtX", {352, 17, 57, 22});
    edtX->setText(QStringLiteral("1920"));
    lblComma = makeLabel(panScreen, "lblComma", QStringLiteral(","), {412, 17, 8, 22});
    edtY = makeWidget<QLineEdit>(panScreen, "edtY", {422, 17, 57, 22});
    edtY->setText(QStringLiteral("1080"));
    // One caption before both fields: each field's name says which it is.
    edtX->setAccessibleName(lblPosition->text() + QStringLiteral(" X"));
    edtY->setAccessibleName(lblPosition->text() + QStringLiteral(" Y"));
    btnApply = makeWidget<QPushButton>(panScreen, "btnApply", {500, 15, 75, 26});
    btnApply->setText(QStringLiteral("Apply"));
    btnDelete = makeWidget<QPushButton>(panScreen, "btnDelete", {588, 15, 75, 26});
    btnDelete->setText(QStringLiteral("Delete"));
    connect(btnApply, &QPushButton::clicked, this, &TfrmGlidex::btnApplyClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmGlidex::btnDeleteClick);
    layout->addWidget(panScreen);
    // Only inside the window does Apply become the window's own default
    // button, which Enter presses again once Tab has passed the buttons.
    btnApply->setDefault(true);
}

void TfrmGlidex::createStatusBar(QVBoxLayout* layout)
{
    StatusBar1 = new QStatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->addWidget(new QLabel(QStringLiteral("Status")));
    layout->addWidget(StatusBar1);
}

void TfrmGlidex::FormCreate()
{
    setWindowTitle(QStringLiteral("Glidex Layout"));
    for (const Resolution& entry : ResTable)
        cmbResolution->addItem(resolutionText(entry));
    cmbResolution->setCurrentIndex(-1);  // until a tile is selected
    setPanelEnabled(false);
    connect(&model_, &LayoutModel::changed, this, &TfrmGlidex::showChange);
    connect(&history_, &LayoutHistory::restored, this, &TfrmGlidex::showRestored);
    // Screen readers read the status line's message as its name.
    connect(StatusBar1, &QStatusBar::messageChanged, StatusBar1, &QWidget::setAccessibleName);

    const QFont labelFont = PointFont(QStringLiteral("MS Sans Serif"), 14, true);
    for (int n = 1; n <= kScreenCount; ++n) {
        const LayoutScreen& screen = model_.Screens()[n];
        auto* tile = new TScreen(screen, model_.Canvas(), imgLayout);

        auto* label = new TPortLabel(screen.Title, panPort);
        label->setObjectName(QStringLiteral("PortLabel%1").arg(n));
        label->setFixedSize(65, 25);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        label->setFont(labelFont);
        label->setToolTip(tile->toolTip());
        label->setAccessibleName(screen.Title);
        label->setAccessibleDescription(tile->toolTip());
        label->move(labelLeft(screen.LabelSlot), kLabelTop);
        label->setVisible(screen.LabelShown);
        label->setProperty("Tag", n);  // how a click finds its tile
        tile->PortLabel = label;
        SetLabelPlaced(*tile, false);
        screens_[n] = tile;
        connectTile(*tile);
    }
    setKeyboardOrder();
    cmbDevice->setCurrentIndex(model_.CurDevice());
    connect(cmbDevice, &QComboBox::currentIndexChanged, this, &TfrmGlidex::cmbDeviceChange);

    // The layout the editor starts from, not a step of its own.
    model_.LoadFromConfig(config_.KvmLayout);
}

void TfrmGlidex::connectTile(TScreen& tile)
{
    connect(&tile, &TScreen::pressed, this,
            [this, &tile](Qt::MouseButton button, QPoint at) { ScreenMouseDown(tile, button, at.x(), at.y()); });
    connect(&tile, &TScreen::moved, this,
            [this, &tile](Qt::MouseButtons buttons, QPoint at) { ScreenMouseMove(tile, buttons, at.x(), at.y()); });
    connect(&tile, &TScreen::released, this,
            [this, &tile](Qt::MouseButton button, QPoint at) { ScreenMouseUp(tile, button, at.x(), at.y()); });
    connect(tile.PortLabel, &TPortLabel::clicked, this, [this, &tile] { PortLabelClick(tile.PortLabel); });
    connect(tile.PortLabel, &TPortLabel::activated, this, [this, &tile] { PortLabelKey(tile); });
    connect(tile.PortLabel, &TPortLabel::focused, this, [this] { selectedAtLabelFocus_ = model_.SelectedNo(); });
    connect(&tile, &TScreen::focused, this, [this, &tile] { ScreenFocused(tile); });
    connect(&tile, &TScreen::stepped, this,
            [this, &tile](MoveDirection direction, bool toAlignment) { ScreenKeyMove(tile, direction, toAlignment); });
    connect(&tile, &TScreen::deletePressed, this, [this, &tile] { ScreenKeyDelete(tile); });
}

int TfrmGlidex::labelLeft(int slot) const
{
    return cmbDevice->x() + cmbDevice->width() + slot * kLabelPitch + 5;
}

void TfrmGlidex::setPanelEnabled(bool enabled)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{lblResolution, cmbResolution, chkPortrait, lblPosition,
                                                           edtX, lblComma, edtY, btnApply, btnDelete})
        widget->setEnabled(enabled);
}

void TfrmGlidex::showChange(const LayoutChange& change)
{
    if (change.Zoomed)
        showZoom();
    for (const int32_t n : change.Removed) {
        TScreen& tile = *screens_[n];
        SetLabelPlaced(tile, false);
        tile.hide();
    }
    for (const LayoutChange::Paint& paint : change.Painted) {
        TScreen& tile = *screens_[paint.ScreenNo];
        tile.SetPicture(model_.Canvas().ToCanvas(tile.Data.DeskBounds()), paint.Selected);
        tile.raise();
        tile.show();
        SetLabelPlaced(tile, true);
    }
    // A size the table has no entry for is the list's last entry while its
    // monitor is selected; a panel left without it shows no resolution.
    if (change.PanelChanged && cmbResolution->count() > kOwnSize) {
        const bool shown = cmbResolution->currentIndex() == kOwnSize;
        cmbResolution->removeItem(kOwnSize);
        if (shown)
            cmbResolution->setCurrentIndex(-1);
    }
    if (change.PanelChanged && change.PanelScreen == 0)
        setPanelEnabled(false);
    if (change.PanelChanged && change.PanelScreen != 0) {
        const LayoutScreen& screen = model_.Screens()[change.PanelScreen];
        if (screen.ResIndex == kOwnSize)
            cmbResolution->addItem(resolutionText(LandscapeOf(screen.DeskWidth, screen.DeskHeight)));
        cmbResolution->setCurrentIndex(screen.ResIndex);
        chkPortrait->setChecked(screen.Portrait);
        edtX->setText(QString::number(screen.DeskX));
        edtY->setText(QString::number(screen.DeskY));
        setPanelEnabled(true);
    }
    if (change.Labels) {
        for (const TScreen* tile : screens_) {
            if (!tile->Data.LabelShown) {
                tile->PortLabel->hide();
                continue;
            }
            tile->PortLabel->move(labelLeft(tile->Data.LabelSlot), kLabelTop);
            tile->PortLabel->show();
        }
    }
}

void TfrmGlidex::LoadFromConfig(const QString& command)
{
    history_.Record(command, [this] { model_.LoadFromConfig(config_.KvmLayout); });
}

void TfrmGlidex::showRestored(const QString& message, const std::vector<int32_t>& changed)
{
    if (!changed.empty()) {
        const int unit = PortIndexOf(changed.front()) / 4;
        if (std::all_of(changed.begin(), changed.end(), [unit](int32_t n) { return PortIndexOf(n) / 4 == unit; }))
            cmbDevice->setCurrentIndex(unit);
    }
    int32_t shown = model_.SelectedNo();
    if (shown == 0) {
        const auto placed = std::find_if(changed.begin(), changed.end(),
                                         [this](int32_t n) { return model_.Screens()[n].ScreenGroup != 0; });
        shown = placed != changed.end() ? *placed : 0;
    }
    if (shown != 0)
        scrollLayout->ensureWidgetVisible(screens_[shown]);
    StatusBar1->showMessage(message);
}

void TfrmGlidex::StoreToConfig()
{
    model_.StoreToConfig(config_.KvmLayout);
}

void TfrmGlidex::RefreshLabels()
{
    model_.RefreshLabels(config_.KvmLayout);
}

void TfrmGlidex::cmbDeviceChange(int index)
{
    model_.SetDevice(index, config_.KvmLayout);
}

void TfrmGlidex::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmGlidex::ShowEditor()
{
    exec();
}
