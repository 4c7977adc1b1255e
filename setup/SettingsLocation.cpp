#include "setup/SettingsLocation.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kFileName = QStringLiteral("TORVIK.INI");
const QString kFolderName = QStringLiteral("torvik-setup");

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
    const QString home = environment.value(QStringLiteral("HOME"));
    return QDir::isAbsolutePath(home) ? QDir(home).filePath(QStringLiteral(".config")) : QString();
#endif
}

}  // namespace

QString SettingsFilePath(const QString& programFolder, const QProcessEnvironment& environment,
                         const QString& explicitPath)
{
    if (!explicitPath.isEmpty())
        return QFileInfo(explicitPath).absoluteFilePath();

    const QString besideProgram = QDir(programFolder).filePath(kFileName);
    if (QFileInfo::exists(besideProgram) || QFileInfo(programFolder).isWritable())
        return besideProgram;
    const QString configFolder = userConfigFolder(environment);
    // Without a home there is no better place than beside the program, where
    // reading still works and a save says why it cannot write.
    if (configFolder.isEmpty())
        return besideProgram;
    return QDir::cleanPath(configFolder + QLatin1Char('/') + kFolderName + QLatin1Char('/') + kFileName);
}
