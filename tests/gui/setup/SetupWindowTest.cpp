#include "gui/setup/SetupWindow.h"

#include "core/config/KvmConfig.h"
#include "core/config/LayoutFile.h"
#include "support/FakePrompts.h"
#include "support/FileBytes.h"
#include "support/FindWidget.h"
#include "support/IdleTransfers.h"
#include "support/QtPrinting.h"
#include "support/Screenshots.h"

#include <QApplication>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

// What the user sees of the settings.
struct Shown {
    QString comPort;
    int startItem;
    int hotKeyItem;
    int speed;
    bool precision;
    QString switchPos;
    bool kvm;

    bool operator==(const Shown&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Shown& s)
    {
        return out << s.comPort.toStdString() << " start " << s.startItem << " hotkey " << s.hotKeyItem << " speed "
                   << s.speed << (s.precision ? "+precision " : " ") << s.switchPos.toStdString()
                   << (s.kvm ? " KVM" : " Glidex");
    }
};

// The first start without a settings file.
const Shown kFirstStart{"COM1", 0, 0, 5, true, "Center of screen", true};

class SetupWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        settingsPath = dir.filePath(QStringLiteral("TORVIK.INI"));
    }

    void writeSettings(const QByteArray& text) const { ASSERT_TRUE(WriteFileBytes(settingsPath, text.toStdString())); }

    QByteArray readSettings() const { return QByteArray::fromStdString(ReadFileBytes(settingsPath)); }

    TfrmSetup& create()
    {
        window = std::make_unique<TfrmSetup>(prompts, line.config, line.transfers, line.discovery, settingsPath);
        return *window;
    }

    // The window's widget named `name`.
    template <typename T>
    T* widget(const char* name) const
    {
        return FindWidget<T>(*window, name);
    }
    TPortList* cmbCOMPort() const { return widget<TPortList>("cmbCOMPort"); }

    Shown shown() const
    {
        return {cmbCOMPort()->currentText(),
                widget<QComboBox>("cmbStartPort")->currentIndex(),
                widget<QComboBox>("cmbHotKey")->currentIndex(),
                widget<QSlider>("barSlider")->value(),
                widget<QCheckBox>("chkPrecision")->isChecked(),
                widget<QComboBox>("cmbSwitchPos")->currentText(),
                widget<QCheckBox>("chkKVM")->isChecked()};
    }

    QTemporaryDir dir;
    QString settingsPath;
    FakePrompts prompts;
    IdleTransfers line;
    KVM_CONFIG& KvmConfig = line.config.KvmConfig;
    KVM_LAYOUT& KvmLayout = line.config.KvmLayout;
    std::unique_ptr<TfrmSetup> window;
};

TEST_F(SetupWindowTest, FirstStartWithoutSettingsFileShowsDefaultsAndAnEmptyLayout)
{
    create();
    EXPECT_EQ(shown(), kFirstStart);
    EXPECT_EQ(KvmLayout, KVM_LAYOUT{});
    EXPECT_EQ(KvmConfig, (KVM_CONFIG{0, 1, 0, 0, 133, 0, ""}));
    EXPECT_TRUE(prompts.boxes().empty());
    EXPECT_EQ(cmbCOMPort()->count(), 20);
    EXPECT_EQ(cmbCOMPort()->itemText(19), "COM20");
    EXPECT_EQ(readSettings(), "<missing>");  // starting writes nothing
}

TEST_F(SetupWindowTest, SettingsFileValuesAreShownAfterTheRangeRules)
{
    struct Case {
        const char* setup;
        Shown expected;
    };
    const Case cases[] = {
        {"COMPort=21", kFirstStart},
        {"COMPort=0", kFirstStart},
        {"COMPort=7\nStart=4\nHotKey=3\nMouseSlider=10\nSwitchPosition=255\nGlidex=1",
         {"COM7", 3, 3, 10, false, "Last position", false}},
        {"Start=7\nHotKey=4\nMouseSlider=11", kFirstStart},
        {"MouseSlider=139", kFirstStart},
        {"MouseSlider=-1", kFirstStart},
        {"MouseSlider=138", {"COM1", 0, 0, 10, true, "Center of screen", true}},
        {"MouseSlider=0x85\nSwitchPosition=1", kFirstStart},
        {"MouseSlider=abc\nStart=x", kFirstStart},
        {"Glidex=7", {"COM1", 0, 0, 5, true, "Center of screen", false}},
    };
    for (const Case& c : cases) {
        KvmConfig = KVM_CONFIG{};
        writeSettings(QByteArray("[Setup]\n") + c.setup + "\n");
        create();
        EXPECT_EQ(shown(), c.expected) << c.setup;
    }
    EXPECT_EQ(KvmConfig.Glidex, 7);  // shown as Glidex on, kept as read
    EXPECT_TRUE(prompts.boxes().empty());
}

// Windows has no "Ports" section: it opens COM names as they are.
#ifndef _WIN32
TEST_F(SetupWindowTest, AHigherComNameOfThePortsSectionFollowsCom20AndIsKeptByItsNumber)
{
    writeSettings("[Setup]\nCOMPort=23\n[Ports]\nCOM23=/nonexistent/ttyUSB23\n");
    create();
    ASSERT_EQ(cmbCOMPort()->count(), 21);
    EXPECT_EQ(cmbCOMPort()->itemText(19), "COM20");
    EXPECT_EQ(cmbCOMPort()->currentIndex(), 20);
    EXPECT_EQ(shown().comPort, "COM23  /nonexistent/ttyUSB23");

    // The device is missing: the file is saved, then the port fails to open.
    prompts.answer(MsgAnswer::Ok);
    window->SaveConfig();
    EXPECT_TRUE(readSettings().contains("COMPort=23\n")) << readSettings().toStdString();
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].text, "COM port open error!");
}
#endif

TEST_F(SetupWindowTest, TheStoredLayoutIsReadAtCreation)
{
    KVM_LAYOUT stored;
    stored.Group[21] = 1;
    stored.Port[21] = {1920, 0, 1280, 1024};
    stored.MStyle[1] = 1;
    ASSERT_EQ(WriteLayoutFile(settingsPath, stored, true).status, FileResult::Status::Done);
    create();
    EXPECT_EQ(KvmLayout, stored);
}

TEST_F(SetupWindowTest, ResetToDefaultAnsweredWithCancelChangesNothing)
{
    writeSettings("[Setup]\nCOMPort=4\nStart=3\nMouseSlider=2\n[Layout]\nGroup=0 1\nPort2=0 0 800 600\n");
    create();
    const Shown before = shown();
    const KVM_LAYOUT layoutBefore = KvmLayout;
    QSignalSpy rebuilt(window.get(), &TfrmSetup::layoutUpdated);

    prompts.answer(MsgAnswer::Cancel);
    widget<QPushButton>("btnDefault")->click();
    QApplication::processEvents();

    ASSERT_EQ(prompts.boxes().size(), 1u);
    const FakePrompts::Box& box = prompts.boxes()[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, "Reset Config and Glidex Layout to default?");
    EXPECT_EQ(box.caption, "Confirm");
    EXPECT_EQ(box.buttons, MsgButtons::OkCancel);
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(KvmLayout, layoutBefore);
    EXPECT_EQ(rebuilt.count(), 0);
}

TEST_F(SetupWindowTest, ResetToDefaultAnsweredWithOkResetsWidgetsAndLayoutButNotTheFile)
{
    const QByteArray file = "[Setup]\r\nCOMPort=4\r\nStart=3\r\nGlidex=1\r\nHotKey=2\r\nMouseSlider=2\r\n"
                            "SwitchPosition=255\r\n[Layout]\r\nGroup=0 1\r\nPort2=0 0 800 600\r\n";
    writeSettings(file);
    create();
    QSignalSpy rebuilt(window.get(), &TfrmSetup::layoutUpdated);

    prompts.answer(MsgAnswer::Ok);
    widget<QPushButton>("btnDefault")->click();
    QApplication::processEvents();

    KVM_CONFIG defaultConfig;
    KVM_LAYOUT defaultLayout;
    ResetToDefaults(defaultConfig, defaultLayout);
    EXPECT_EQ(KvmConfig, defaultConfig);
    EXPECT_EQ(KvmLayout, defaultLayout);
    EXPECT_EQ(shown(), (Shown{"COM4", 0, 0, 5, true, "Center of screen", true}));  // the port stays
    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_EQ(readSettings(), file);
}

TEST_F(SetupWindowTest, ConfigUpdatedShowsTheRecordAsItStandsAndCorrectsOnlyTheSwitchPosition)
{
    create();
    cmbCOMPort()->setCurrentIndex(5);
    QSignalSpy rebuilt(window.get(), &TfrmSetup::layoutUpdated);

    KvmConfig = KVM_CONFIG{0x1A, 5, 1, 9, 0x80 | 12, 7, "x"};
    QCoreApplication::postEvent(window.get(), new QEvent(TfrmSetup::WM_CONFIG_UPDATED));
    QApplication::processEvents();

    EXPECT_EQ(KvmConfig.SwitchPos, 0);
    EXPECT_EQ(KvmConfig.Start, 5);  // not range-checked: the list shows no selection
    EXPECT_EQ(shown(), (Shown{"COM6", -1, -1, 10, true, "Center of screen", false}));
    EXPECT_EQ(rebuilt.count(), 1);
}

TEST_F(SetupWindowTest, LayoutUpdatedRebuildsTheEditorOnly)
{
    create();
    QSignalSpy rebuilt(window.get(), &TfrmSetup::layoutUpdated);
    KvmConfig.Start = 3;
    QCoreApplication::postEvent(window.get(), new QEvent(TfrmSetup::WM_LAYOUT_UPDATED));
    QApplication::processEvents();
    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_EQ(shown(), kFirstStart);
}

TEST_F(SetupWindowTest, WindowIsFixedAndEveryCaptionFitsItsWidget)
{
    TfrmSetup& w = create();
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(w.windowTitle(), "Velmar Torvik Setup v3.13");
    EXPECT_EQ(w.size(), QSize(739, 180));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_TRUE(line.transfers.WorkTimer().isActive());
    EXPECT_EQ(line.transfers.WorkTimer().interval(), 100);

    // Every widget lies inside the client area, none overlaps another, and no
    // caption is cut off in the font actually used.
    const QList<QWidget*> widgets = w.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* a : widgets) {
        EXPECT_TRUE(w.rect().contains(a->geometry())) << a->objectName().toStdString();
        for (QWidget* b : widgets) {
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " overlaps " << b->objectName().toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(a)) {
            EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
        }
        if (auto* box = qobject_cast<QCheckBox*>(a)) {
            EXPECT_LE(box->sizeHint().width(), box->width()) << box->text().toStdString();
        }
        if (auto* button = qobject_cast<QPushButton*>(a)) {
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width());
        }
        if (auto* list = qobject_cast<QComboBox*>(a)) {
            EXPECT_LE(list->sizeHint().width(), list->width()) << list->objectName().toStdString();
        }
    }

    // Tab order as the rows read.
    QStringList order;
    for (QWidget* focus = cmbCOMPort(); order.size() < 12; focus = focus->nextInFocusChain()) {
        if (focus->focusPolicy() & Qt::TabFocus)
            order << focus->objectName();
    }
    EXPECT_EQ(order, QStringList({"cmbCOMPort", "cmbStartPort", "cmbHotKey", "barSlider", "chkPrecision",
                                  "cmbSwitchPos", "chkKVM", "btnGlidex", "btnLoadConfig", "btnSaveConfig",
                                  "btnExit", "btnDefault"}));
    EXPECT_TRUE(SaveScreenshot(&w));
}

TEST_F(SetupWindowTest, TheClosedPortListShowsTheComNameAloneAndTheOpenListTheWholeItems)
{
    line.discovery.devices = {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001, {}}};
    TfrmSetup& w = create();
    w.show();
    TPortList& list = *cmbCOMPort();
    const QString whole = QStringLiteral("COM1  /dev/ttyUSB0 \u2014 FT232R USB UART");
    ASSERT_EQ(list.currentText(), whole);
    EXPECT_EQ(list.toolTip(), whole);
    EXPECT_EQ(list.accessibleDescription(), whole);
    EXPECT_TRUE(SaveScreenshot(&w, "port-list"));

    // Closed, it looks exactly as it would with "COM1" as the item's text,
    // and not as it does with COM2 chosen.
    const QImage shown = list.grab().toImage();
    list.setItemText(0, QStringLiteral("COM1"));
    EXPECT_EQ(list.grab().toImage(), shown);
    EXPECT_EQ(list.toolTip(), QStringLiteral("COM1"));
    list.setCurrentIndex(1);
    EXPECT_NE(list.grab().toImage(), shown);
    EXPECT_EQ(list.accessibleDescription(), QStringLiteral("COM2"));

    // Opened, it shows the whole items again, as wide as they need.
    list.setCurrentIndex(0);
    list.showPopup();
    QApplication::processEvents();
    EXPECT_EQ(list.itemText(0), whole);
    EXPECT_GE(list.view()->width(), list.view()->sizeHintForColumn(0));
    list.view()->window()->setObjectName(QStringLiteral("cmbCOMPort"));
    EXPECT_TRUE(SaveScreenshot(list.view()->window(), "open"));
    list.hidePopup();
}

TEST_F(SetupWindowTest, ExitClosesTheWindowWithoutSaving)
{
    TfrmSetup& w = create();
    w.show();
    widget<QComboBox>("cmbStartPort")->setCurrentIndex(2);
    widget<QPushButton>("btnExit")->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(readSettings(), "<missing>");
}

}  // namespace
