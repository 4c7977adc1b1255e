#include "app/CommandLine.h"

#include "core/config/PortMapping.h"
#include "core/config/SettingsLocation.h"
#include "core/serial/PortDiscovery.h"
#include "core/serial/PortNames.h"

#include <QCommandLineParser>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <array>

namespace {

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

// Where the settings file is and where the COM names lead: the system's
// own rules, Windows' or the others'.
QString placesText(const QString& settingsPath)
{
#ifdef Q_OS_WIN
    return QStringLiteral(
        "Settings file:\n"
        "  TORVIK.INI beside the program when it exists there (a portable copy) or\n"
        "  that folder is writable and the program is not installed (installed:\n"
        "  under Program Files or in a folder on PATH); otherwise the per-user file\n"
        "  %APPDATA%\\torvik-setup\\TORVIK.INI, its folder made by the first save.\n"
        "  --settings FILE names the file outright.\n"
        "  In use now:\n"
        "  %1\n"
        "\n"
        "Serial ports:\n"
        "  The COM names are the system's own, COM1 to COM%2, for --port and\n"
        "  --list-ports alike; --list-ports shows those of the serial devices\n"
        "  present and what each device is. The COM Port list offers COM1 to COM%3\n"
        "  and each higher name of a device present.\n")
        .arg(QDir::toNativeSeparators(settingsPath), QString::number(PortNames::kHighestComNumber),
             QString::number(PortNames::kComNameCount));
#else
    return QStringLiteral(
        "Settings file:\n"
        "  TORVIK.INI beside the program when it exists there (a portable copy) or\n"
        "  that folder is writable and the program is not installed (installed: in\n"
        "  %3, under /usr or /opt, in a folder on PATH, or in a folder\n"
        "  named bin under the home folder, such as ~/.local/bin); otherwise the\n"
        "  per-user file $XDG_CONFIG_HOME/torvik-setup/TORVIK.INI\n"
        "  (~/.config/torvik-setup/TORVIK.INI when XDG_CONFIG_HOME is unset), its\n"
        "  folder made by the first save. --settings FILE names the file outright.\n"
        "  In use now:\n"
        "  %1\n"
        "\n"
        "Serial ports:\n"
        "  The COM names run from COM1 to COM%4, for --port and --list-ports alike;\n"
        "  the COM Port list offers COM1 to COM%2 and each higher name that leads\n"
        "  somewhere. Section [Ports] of the settings file may lead a name to any\n"
        "  device, e.g. COM3=/dev/ttyUSB0. The serial devices present that no such\n"
        "  key names (onboard ports first, then USB and ACM adapters, by name) go to\n"
        "  the other names from COM1 up; --list-ports shows the result. Save Config\n"
        "  keeps the chosen name with its device: it adds COMn=/dev/serial/by-id/...\n"
        "  (or the device path) to [Ports] unless a key for COMn is there, so the\n"
        "  name stays with that adapter.\n"
        "  Serial devices usually need membership of the dialout group.\n")
        .arg(QDir::toNativeSeparators(settingsPath), QString::number(PortNames::kComNameCount),
             QDir::toNativeSeparators(QStringLiteral(TORVIK_INSTALL_BINDIR)),
             QString::number(PortNames::kHighestComNumber));
#endif
}

#ifdef Q_OS_WIN
const QString kPortIs = QStringLiteral("PORT is a COM name.");
const QString kNotComName = QStringLiteral("'%1' is not a COM name from COM1 to COM%2");
#else
const QString kPortIs = QStringLiteral("PORT is a COM name,\n  mapped as above, or a device path.");
const QString kNotComName = QStringLiteral("'%1' is not a COM name from COM1 to COM%2; a device is given by its path");
#endif

// --port in the list of options.
QString portOptionText()
{
#ifdef Q_OS_WIN
    return QStringLiteral("The switch's port, a COM name from COM1 to COM%1.").arg(PortNames::kHighestComNumber);
#else
    return QStringLiteral("The switch's port, a COM name or a device path.");
#endif
}

QString usage(const QCommandLineParser& parser, const QString& settingsPath)
{
    return parser.helpText() + QStringLiteral("\n") + placesText(settingsPath) + QStringLiteral(
        "\n"
        "Without a window (--port with --read, --write or --compare):\n"
        "  --read writes FILE in the settings file's format, sections [Setup] and\n"
        "  [Layout] (an existing FILE keeps its other sections and its mode; a FILE\n"
        "  that may not be written, or in a missing folder, is an error), so that it\n"
        "  serves as --settings FILE and its layout can be imported. A reply that\n"
        "  lacks a settings line (Start, Glidex, HotKey, Slider, SwitchPos; not for\n"
        "  --layout-only), a Group line, MStyle or the Port line of a placed monitor\n"
        "  is an error naming them, and so is a reply to an earlier command: what\n"
        "  waits on the line before a command is discarded. Lines the switch left\n"
        "  out (MTotal, MConfig) are left out of FILE and compare as \"not sent\".\n"
        "  --write sends what Save Config would send for FILE, \"SAVE\" last; a\n"
        "  [Layout] without the keys that place its monitors (Group, each placed\n"
        "  monitor's PortN, MStyle for a second monitor) is refused, and so is a\n"
        "  value that cannot be read as its key needs (naming its line and key; a\n"
        "  setting may be followed by a comment, \"Start=3 ; power-up port\"). What\n"
        "  is sent otherwise than FILE says (a setting out of range sent as its\n"
        "  default, a monitor its port's style leaves out) gets a warning line,\n"
        "  also with --quiet. Ctrl+C stops it\n"

        "  before \"SAVE\", and the switch keeps what it had saved; a SAVE not\n"
        "  acknowledged in time says the switch may hold FILE. --compare prints\n"
        "  one line per difference. The switch holds FILE when its configuration,\n"
        "  as --read would write it, equals FILE as it stands or what --write FILE\n"
        "  would send, a warned key counting as FILE says it; so a FILE just read\n"
        "  or just written compares equal. Otherwise the differences from the nearer\n"
        "  of the two are printed. --verify compares with what was sent.\n"
        "  --layout-only: the layout alone, as the editor's Load Layout and Send\n"
        "  Layout do. FILE \"-\" is standard input or output. FILE is at most 1 MiB,\n"
        "  UTF-8 or UTF-16 with a byte-order mark; --write and --compare read\n"
        "  pipes too (<(cat f.ini), /dev/stdin). %1\n"
        "  --json: --list-ports prints {\"ports\": [...]}, each with name, device,\n"
        "  stablePath, description, manufacturer, serialNumber, vendorId and\n"
        "  productId (null when not known); --compare and --verify print\n"
        "  {\"differences\": [...], \"warnings\": [...]}, each difference with item,\n"
        "  switch and file: a number, a monitor's {group, x, y, width, height} or\n"
        "  null when not placed, a total's {width, height}, an offset's {x, y};\n"
        "  --write alone prints {\"warnings\": [...]}; a failed transfer prints\n"
        "  {\"error\": {\"status\", \"message\", \"detail\"}}.\n"
        "  Exit status: 0 done (no differences), 1 differences, 2 usage error,\n"
        "  3 the port cannot be opened, 4 the switch did not answer, its reply\n"
        "  could not be read or was not whole, or the line failed, 5 FILE (or\n"
        "  standard output) unreadable or unwritable, a value in FILE unreadable or\n"
        "  its layout invalid, 130 interrupted.\n"
        "\n"
        "This computer's monitors (--screens), one a line: the name, the size in\n"
        "  device pixels (what the monitor shows, whatever the scale), the place on\n"
        "  the desktop as the system gives it, and the scale, e.g.\n"
        "  DP-1<TAB>2560 x 1440 at 1920, 0<TAB>scale 1.5. With --json:\n"
        "  {\"screens\": [...]}, each with name, x, y, width, height and scale, the\n"
        "  list the layout editor's \"Place Monitors from File\" reads, so that a\n"
        "  computer away from the switch's line can be measured. Needs the display,\n"
        "  not the switch; without one it exits with 1.\n"
        "\n"
        "In the layout editor, Layout > Place This Computer's Monitors puts these\n"
        "  monitors on a port: its arrangement becomes theirs and each tile their\n"
        "  size; Place Monitors from File takes a list written by --screens --json.\n"
        "  The View menu zooms the canvas from 200% to 12.5% (Ctrl+plus, Ctrl+minus,\n"
        "  Ctrl+0 for Actual Size, Ctrl with the wheel), and Zoom to Fit shows every\n"
        "  placed monitor.\n")
        .arg(kPortIs);
}

// What the parser refused, in the words command-line programs use:
// "unknown option '--bogus'", "missing value after '--port'".
QString refusal(const QCommandLineParser& parser)
{
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        const QString& name = unknown.first();
        return QStringLiteral("unknown option '%1%2'").arg(name.size() == 1 ? "-" : "--", name);
    }
    QString error = parser.errorText();
    if (error.endsWith(QLatin1Char('.')))
        error.chop(1);
    if (!error.isEmpty())
        error[0] = error[0].toLower();
    return error;
}

// "COM" and digits, in any case: meant as a COM name, whether or not it is one.
bool looksLikeComName(const QString& port)
{
    static const QRegularExpression comName(QStringLiteral("^COM[0-9]+$"), QRegularExpression::CaseInsensitiveOption);
    return comName.match(port).hasMatch();
}

const QString kJsonGoesWith = QStringLiteral("--json goes with --list-ports, --screens, --write or --compare");

// The transfer the options ask for, if any; a wrong combination gives
// `usageError`.
std::optional<TransferRequest> transferRequest(const QCommandLineParser& parser, const QCommandLineOption& port,
                                               const std::array<QCommandLineOption, 3>& actions,
                                               const QCommandLineOption& verify, const QCommandLineOption& layoutOnly,
                                               const QCommandLineOption& quiet, const QCommandLineOption& json,
                                               std::optional<QString>& usageError)
{
    constexpr std::array kActions = {TransferRequest::Action::Read, TransferRequest::Action::Write,
                                     TransferRequest::Action::Compare};
    std::optional<TransferRequest> request;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (!parser.isSet(actions[i]))
            continue;
        if (request || parser.values(actions[i]).size() > 1) {
            usageError = QStringLiteral("give one of --read, --write and --compare, once");
            return std::nullopt;
        }
        request = TransferRequest{kActions[i], parser.value(port), parser.value(actions[i])};
    }
    if (parser.values(port).size() > 1) {
        usageError = QStringLiteral("give --port once");
        return std::nullopt;
    }
    if (!request) {
        for (const QCommandLineOption& option : {port, verify, layoutOnly, quiet}) {
            if (parser.isSet(option))
                usageError = QStringLiteral("--%1 needs --read, --write or --compare").arg(option.names().first());
        }
        if (parser.isSet(json))
            usageError = kJsonGoesWith;
        return std::nullopt;
    }
    if (!parser.isSet(port) || request->port.isEmpty() || request->file.isEmpty())
        usageError = QStringLiteral("a transfer needs --port PORT and a FILE");
    else if (looksLikeComName(request->port) && !ComNumber(request->port.toStdString()))
        usageError = kNotComName.arg(request->port).arg(PortNames::kHighestComNumber);
    else if (parser.isSet(verify) && request->action != TransferRequest::Action::Write)
        usageError = QStringLiteral("--verify goes with --write");
    else if (parser.isSet(json) && request->action == TransferRequest::Action::Read)
        usageError = kJsonGoesWith;
    request->verify = parser.isSet(verify);
    request->layoutOnly = parser.isSet(layoutOnly);
    request->quiet = parser.isSet(quiet);
    request->json = parser.isSet(json);
    return request;
}

// A port for programs: what is not known is null, the USB ids are four hex digits.
QJsonObject portJson(int number, const std::string& path, const SerialDevice* device)
{
    const auto text = [](const std::string& value) {
        return value.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(value));
    };
    const auto id = [](const std::optional<uint16_t>& value) {
        return value ? QJsonValue(QStringLiteral("%1").arg(*value, 4, 16, QLatin1Char('0'))) : QJsonValue();
    };
    const SerialDevice known = device ? *device : SerialDevice{};
    return {{"name", QStringLiteral("COM%1").arg(number)},
            {"device", QString::fromStdString(path)},
            {"stablePath", text(known.stablePath)},
            {"description", text(known.description)},
            {"manufacturer", text(known.manufacturer)},
            {"serialNumber", text(known.serialNumber)},
            {"vendorId", id(known.vendorId)},
            {"productId", id(known.productId)}};
}

// One line per COM name that reaches a device: "COMn<TAB>PATH<TAB>DESCRIPTION";
// or, for programs, {"ports": [...]}.
QString portListing(const QString& settingsPath, const PortDiscovery& discovery, bool json)
{
    const PortNames names = CurrentPortNames(settingsPath, discovery);
    QString listing;
    QJsonArray ports;
    for (const auto& [number, path] : names.paths()) {
        const SerialDevice* device = names.device(number);
        if (json)
            ports.append(portJson(number, path, device));
        else
            listing += QStringLiteral("COM%1\t%2\t%3\n")
                           .arg(number)
                           .arg(QString::fromStdString(path), QString::fromStdString(device ? DeviceDetails(*device) : ""));
    }
    return json ? QString::fromUtf8(QJsonDocument(QJsonObject{{"ports", ports}}).toJson()) : listing;
}

}  // namespace

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
                                       QStringLiteral("Lists the COM names and the devices they lead to, and exits."));
    parser.addOption(listPorts);
    const QCommandLineOption screens(QStringLiteral("screens"),
                                     QStringLiteral("Lists this computer's monitors, and exits (needs a display)."));
    parser.addOption(screens);
    const QCommandLineOption port(QStringLiteral("port"), portOptionText(),
                                  QStringLiteral("port"));
    const QCommandLineOption read(QStringLiteral("read"), QStringLiteral("Reads the switch into <file>."),
                                  QStringLiteral("file"));
    const QCommandLineOption write(QStringLiteral("write"), QStringLiteral("Sends <file> to the switch."),
                                   QStringLiteral("file"));
    const QCommandLineOption compare(QStringLiteral("compare"), QStringLiteral("Compares the switch with <file>."),
                                     QStringLiteral("file"));
    const QCommandLineOption verify(QStringLiteral("verify"), QStringLiteral("After --write, reads the switch back."));
    const QCommandLineOption layoutOnly(QStringLiteral("layout-only"), QStringLiteral("The layout alone."));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Prints errors only."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Answers --list-ports, --screens, --write and --compare in JSON."));
    parser.addOptions({port, read, write, compare, verify, layoutOnly, quiet, json});
    for (const char* name : kQtOptionsWithValue)
        addHidden(parser, name, QStringLiteral("value"));
    for (const char* name : kQtFlags)
        addHidden(parser, name);

    CommandLine result;
    const bool parsed = parser.parse(arguments);
    if (parsed) {
        result.platform = parser.value(QStringLiteral("platform"));
        result.display = parser.value(QStringLiteral("display"));
    }
    result.settingsPath = SettingsFilePath(programFolder, QStringLiteral(TORVIK_INSTALL_BINDIR), environment, parsed ? parser.value(settings) : QString());
    std::optional<QString> usageError;
    if (!parsed)
        usageError = refusal(parser);
    else if (!parser.positionalArguments().isEmpty())
        usageError = QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
    std::optional<TransferRequest> transfer;
    if (!usageError && parser.isSet(listPorts) && parser.isSet(screens))
        usageError = QStringLiteral("give one of --list-ports and --screens");
    // --help and --version are listings too: a transfer's option beside
    // them would be left undone.
    const bool listsPortsOrScreens = parser.isSet(listPorts) || parser.isSet(screens);
    const bool listing = listsPortsOrScreens || parser.isSet(help) || parser.isSet(version);
    if (!usageError && !listing)
        transfer = transferRequest(parser, port, {read, write, compare}, verify, layoutOnly, quiet, json, usageError);
    for (const QCommandLineOption& option : {port, read, write, compare, verify, layoutOnly, quiet}) {
        if (!usageError && listing && parser.isSet(option))
            usageError = QStringLiteral("--%1 goes with a transfer, not with a listing").arg(option.names().first());
    }
    if (!usageError && listing && !listsPortsOrScreens && parser.isSet(json))
        usageError = kJsonGoesWith;
    if (usageError) {
        result.run = CommandLine::Run::Print;
        result.exitCode = ExitStatus::Usage;
        result.toStandardError = true;
        result.output = QStringLiteral("torvik-setup: %1\nTry 'torvik-setup --help' for more information.\n").arg(*usageError);
    } else if (transfer) {
        result.run = CommandLine::Run::Transfer;
        result.transfer = *transfer;
    } else if (parser.isSet(help)) {
        result.run = CommandLine::Run::Print;
        result.output = usage(parser, result.settingsPath);
    } else if (parser.isSet(screens)) {
        result.run = CommandLine::Run::Screens;
        result.json = parser.isSet(json);
    } else if (parser.isSet(listPorts)) {
        result.run = CommandLine::Run::Print;
        result.output = portListing(result.settingsPath, discovery, parser.isSet(json));
    } else if (parser.isSet(version)) {
        result.run = CommandLine::Run::Print;
        result.output = QStringLiteral(
            "torvik-setup " TORVIK_VERSION "\n"
            "Copyright (C) 2026 The torvik-setup developers\n"
            "License GPLv3+: GNU GPL version 3 or later <https://www.gnu.org/licenses/gpl.html>.\n"
            "This is free software: you are free to change and redistribute it.\n"
            "There is NO WARRANTY, to the extent permitted by law.\n");
    }
    return result;
}
