#include "CommandLine.h"

#include "serial/PortDiscovery.h"
#include "serial/PortNames.h"
#include "setup/PortMapping.h"
#include "setup/SettingsLocation.h"

#include <QCommandLineParser>
#include <QDir>

namespace {

constexpr int kUsageError = 2;

// The options QGuiApplication and QApplication take for themselves.
const char* const kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowtitle", "title", "qwindowicon", "icon", "session", "display", "name", "style", "stylesheet",
    "qmljsdebugger",
};
const char* const kQtFlags[] = {"reverse", "widgetcount", "testability", "nograb", "dograb", "sync"};

void addHidden(QCommandLineParser& parser, const char* name, const QString& valueName = {})
{
    QCommandLineOption option(QString::fromLatin1(name), QString(), valueName);
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
}

QString usage(const QCommandLineParser& parser, const QString& settingsPath)
{
    return parser.helpText() + QStringLiteral(
        "\n"
        "Settings file:\n"
        "  TORVIK.INI beside the program when it exists there or that folder is\n"
        "  writable (a portable copy); otherwise the per-user file\n"
        "  $XDG_CONFIG_HOME/torvik-setup/TORVIK.INI (~/.config/torvik-setup/TORVIK.INI\n"
        "  when XDG_CONFIG_HOME is unset), its folder made by the first save.\n"
        "  --settings FILE names the file outright. In use now:\n"
        "  %1\n"
        "\n"
        "Serial ports:\n"
        "  The COM Port list offers COM1 to COM%2. Section [Ports] of the settings file\n"
        "  may lead a name to any device, e.g. COM3=/dev/ttyUSB0. The serial devices\n"
        "  present that no such key names (onboard ports first, then USB and ACM\n"
        "  adapters, by name) go to the other names from COM1 up; --list-ports shows\n"
        "  the result. The mapping is worked out again whenever the list opens.\n"
        "  Serial devices usually need membership of the dialout group.\n")
        .arg(QDir::toNativeSeparators(settingsPath), QString::number(PortNames::kComNameCount));
}

}  // namespace

// One line per COM name that reaches a device: "COMn<TAB>PATH<TAB>DESCRIPTION".
QString portListing(const QString& settingsPath, const PortDiscovery& discovery)
{
    const PortNames names = CurrentPortNames(settingsPath, discovery);
    QString listing;
    for (const auto& [number, path] : names.paths()) {
        const SerialDevice* device = names.device(number);
        listing += QStringLiteral("COM%1\t%2\t%3\n")
                       .arg(number)
                       .arg(QString::fromStdString(path), QString::fromStdString(device ? DeviceDetails(*device) : ""));
    }
    return listing;
}

CommandLine ParseCommandLine(const QStringList& arguments, const QString& programFolder,
                             const QProcessEnvironment& environment, const PortDiscovery& discovery)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Setup utility for the Torvik KVM switch: its settings and monitor layout."));
    // Qt's options are single-dash words ("-platform offscreen").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Not addHelpOption(): its --help-all would promise Qt's options, which
    // only QApplication's own parsing could list.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption settings(QStringLiteral("settings"), QStringLiteral("Use <file> as the settings file."),
                                      QStringLiteral("file"));
    parser.addOption(settings);
    const QCommandLineOption listPorts(QStringLiteral("list-ports"),
                                       QStringLiteral("Lists the COM names that reach a serial device, and exits."));
    parser.addOption(listPorts);
    for (const char* name : kQtOptionsWithValue)
        addHidden(parser, name, QStringLiteral("value"));
    for (const char* name : kQtFlags)
        addHidden(parser, name);

    CommandLine result;
    const bool parsed = parser.parse(arguments);
    result.settingsPath = SettingsFilePath(programFolder, environment, parsed ? parser.value(settings) : QString());
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        const QString error = parsed ? QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first())
                                     : parser.errorText();
        result.exitCode = kUsageError;
        result.toStandardError = true;
        result.output = QStringLiteral("torvik-setup: %1\n\n").arg(error) + usage(parser, result.settingsPath);
    } else if (parser.isSet(help)) {
        result.exitCode = 0;
        result.output = usage(parser, result.settingsPath);
    } else if (parser.isSet(listPorts)) {
        result.exitCode = 0;
        result.output = portListing(result.settingsPath, discovery);
    } else if (parser.isSet(version)) {
        result.exitCode = 0;
        result.output = QStringLiteral("torvik-setup " TORVIK_VERSION "\n");
    }
    return result;
}
