#include "gui/dialogs/MonitorDialog.h"

#include "gui/platform/ComboBoxAccessibility.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/Widgets.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>

namespace {

// A 525 x 300 window: its client area without the frame.
constexpr int kClientWidth = 517;
constexpr int kClientHeight = 273;
constexpr int kPortsPerUnit = kPortCount / kUnitCount;
constexpr int kRowTop = 24;
constexpr int kRowPitch = 40;

// The item index is the style value.
const QStringList kStyleItems = {
    QStringLiteral("1. Single (1 Row x 1 Column)"), QStringLiteral("2. 1 Row x 2 Column"),
    QStringLiteral("3. 1 Row x 3 Column"),          QStringLiteral("4. 1 Row x 4 Column"),
    QStringLiteral("5. 2 Row x 2 Column"),          QStringLiteral("6. 2 Row x 1 Column"),
    QStringLiteral("7. 3 Row x 1 Column"),          QStringLiteral("8. 4 Row x 1 Column"),
};

const QStringList kUnitCaptions = {
    QStringLiteral(" Master "),  QStringLiteral(" Slave 1 "), QStringLiteral(" Slave 2 "),
    QStringLiteral(" Slave 3 "), QStringLiteral(" Slave 4 "),
};

// Tabs drawn as flat buttons: the page shown is the pressed one.
const QString kFlatButtonTabs = QStringLiteral(
    "QTabBar::tab { border: 1px solid transparent; border-radius: 2px; padding: 3px 6px; margin-right: 4px; }"
    "QTabBar::tab:hover { border-color: palette(mid); }"
    "QTabBar::tab:selected { background: palette(midlight); border-color: palette(dark) palette(light) "
    "palette(light) palette(dark); }");

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    QPushButton* button = makeWidget<QPushButton>(parent, QLatin1String(name), geometry);
    button->setText(caption);
    return button;
}

}  // namespace

TfrmMonitor::TfrmMonitor(ConfigRecords& config, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), config_(config)
{
    setObjectName(QStringLiteral("frmMonitor"));
    setWindowTitle(QStringLiteral("MonitorLayout"));
    setFont(FormFont());
    setFixedSize(kClientWidth, kClientHeight);
    InstallComboBoxAccessibility();

    PageControl1 = makeWidget<QTabWidget>(this, QStringLiteral("PageControl1"), {8, 8, 501, 217});
    // The pages have no frame of their own, and the tabs no base line.
    PageControl1->setDocumentMode(true);
    PageControl1->tabBar()->setDrawBase(false);
    PageControl1->tabBar()->setStyleSheet(kFlatButtonTabs);
    QFont labelFont = font();
    labelFont.setBold(true);
    for (int page = 1; page <= kUnitCount; ++page) {
        auto* sheet = new QWidget;
        sheet->setObjectName(QStringLiteral("TabSheet%1").arg(page));
        PageControl1->addTab(sheet, kUnitCaptions[page - 1]);
        TabSheet[page] = sheet;
        for (int port = 1; port <= kPortsPerUnit; ++port) {
            const int n = (page - 1) * kPortsPerUnit + port;
            const int top = kRowTop + (port - 1) * kRowPitch;
            QLabel* label = makeWidget<QLabel>(sheet, QStringLiteral("lblPort%1").arg(n), {24, top, 170, 22});
            label->setText(QStringLiteral("Port %1 Monitor Layout").arg(port));
            label->setFont(labelFont);
            QComboBox* list =
                makeWidget<QComboBox>(sheet, QStringLiteral("cmbMonitorStyle%1").arg(n), {200, top, 217, 22});
            list->addItems(kStyleItems);
            label->setBuddy(list);  // names the list for screen readers
            lblPort[n] = label;
            cmbMonitorStyle[n] = list;
        }
    }

    btnAply = makeButton(this, "btnAply", QStringLiteral("Apply"), {161, 236, 89, 27});
    btnCancel = makeButton(this, "btnCancel", QStringLiteral("Cancel"), {266, 236, 89, 27});
    connect(btnAply, &QPushButton::clicked, this, &TfrmMonitor::btnAplyClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmMonitor::btnCancelClick);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmMonitor::Load()
{
    for (int n = 1; n <= kPortCount; ++n) {
        const int32_t style = config_.KvmLayout.MStyle[n];
        cmbMonitorStyle[n]->setCurrentIndex(style >= 0 && style < cmbMonitorStyle[n]->count() ? style : -1);
    }
}

void TfrmMonitor::btnAplyClick()
{
    for (int n = 1; n <= kPortCount; ++n)
        config_.KvmLayout.MStyle[n] = cmbMonitorStyle[n]->currentIndex();
    done(mrYes);
}

void TfrmMonitor::btnCancelClick()
{
    done(mrCancel);
}

void TfrmMonitor::reject()
{
    btnCancelClick();
}
