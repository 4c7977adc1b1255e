#include "core/config/SettingsLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

const QString kFileName = QStringLiteral("TORVIK.INI");
const QString kFolderName = QStringLiteral("torvik-setup");

// The user's home folder; empty when neither the environment nor the system
// names one.
QString homeFolder(const QProcessEnvironment& environment)
{
#ifdef Q_OS_WIN
    const QString home = environment.value(QStringLiteral("USERPROFILE"));
    return QDir::isAbsolutePath(home) ? home : QString();
#else
    const QString home = environment.value(QStringLiteral("HOME"));
    if (QDir::isAbsolutePath(home))
        return home;
    // Without HOME (a service, a stripped environment), the user's home as
    // the system records it.
    const passwd* user = getpwuid(geteuid());
    const QString recorded = user && user->pw_dir ? QString::fromLocal8Bit(user->pw_dir) : QString();
    return QDir::isAbsolutePath(recorded) ? recorded : QString();
#endif
}

// The folder that holds per-user configuration; empty when the environment
// names none. Relative paths are ignored, as the XDG rules require.
QString userConfigFolder(const QProcessEnvironment& environment)
{
#ifdef Q_OS_WIN
    const QString appData = environment.value(QStringLiteral("APPDATA"));
    return QDir::isAbsolutePath(appData) ? appData : QString();
#else
    const QString configHome = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (QDir::isAbsolutePath(configHome))
        return configHome;
    const QString home = homeFolder(environment);
    return home.isEmpty() ? QString() : QDir(home).filePath(QStringLiteral(".config"));
#endif
}

// Folders compare by where they really are: links resolved, no trailing
// separator.
QString canonicalFolder(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
}

bool isInstalled(const QString& programFolder, const QString& installFolder, const QProcessEnvironment& environment)
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity caseSensitivity = Qt::CaseInsensitive;
    QStringList systemFolders;
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const QString folder = environment.value(QString::fromLatin1(name));
        if (QDir::isAbsolutePath(folder))
            systemFolders << canonicalFolder(folder);
    }
#else
    const Qt::CaseSensitivity caseSensitivity = Qt::CaseSensitive;
    const QStringList systemFolders = {QStringLiteral("/usr"), QStringLiteral("/opt")};
#endif
    const QString folder = canonicalFolder(programFolder);
    const auto isUnder = [&](const QString& above) {
        return folder.startsWith(above + QLatin1Char('/'), caseSensitivity);
    };
    if (!installFolder.isEmpty() && folder.compare(canonicalFolder(installFolder), caseSensitivity) == 0)
        return true;
    for (const QString& system : systemFolders) {
        if (folder.compare(system, caseSensitivity) == 0 || isUnder(system))
            return true;
    }
    // A folder the shell finds programs in. Empty and relative entries are
    // left out: they name the folder the shell happens to be in, which would
    // make any copy started from its own folder count as installed.
    const QStringList path = environment.value(QStringLiteral("PATH")).split(QDir::listSeparator());
    for (const QString& entry : path) {
        if (QDir::isAbsolutePath(entry) && folder.compare(canonicalFolder(entry), caseSensitivity) == 0)
            return true;
    }
    // A "bin" folder of the user's own, such as ~/.local/bin, where
    // "cmake --install --prefix ~/.local" puts the program.
    const QString home = homeFolder(environment);
    return !home.isEmpty() && QFileInfo(folder).fileName().compare(QStringLiteral("bin"), caseSensitivity) == 0 &&
           isUnder(canonicalFolder(home));
}

}  // namespace

QString SettingsFilePath(const QString& programFolder, const QString& installFolder,
                         const QProcessEnvironment& environment, const QString& explicitPath)
{
    if (!explicitPath.isEmpty())
        return QFileInfo(explicitPath).absoluteFilePath();

    const QString besideProgram = QDir(programFolder).filePath(kFileName);
    if (QFileInfo::exists(besideProgram) ||
        (QFileInfo(programFolder).isWritable() && !isInstalled(programFolder, installFolder, environment)))
        return besideProgram;
    const QString configFolder = userConfigFolder(environment);
    // Without a home there is no better place than beside the program, where
    // reading still works and a save says why it cannot write.
    if (configFolder.isEmpty())
        return besideProgram;
    return QDir::cleanPath(configFolder + QLatin1Char('/') + kFolderName + QLatin1Char('/') + kFileName);
}
