// The Windows installer as a user runs it, under Wine: silently, into a
// folder of its own, with and without the choice of PATH, and uninstalled
// again. Every Start-menu shortcut it makes leads to a file it installed, its
// file carries the programs' version information, and PATH gains the folder
// only when asked, is never cut short, and loses the folder again.

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

const wchar_t* const kEnvironmentKey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const wchar_t* const kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvik Setup";
const wchar_t* const kVendorKey = L"Software\\The torvik-setup developers";

std::wstring wide(const QString& text)
{
    return QDir::toNativeSeparators(text).toStdWString();
}

// Runs a command line as written (the uninstaller's "_?=" must stand
// unquoted) and answers its exit status, or -1.
long run(std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return -1;
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(started.hProcess, &status);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return static_cast<long>(status);
}

// The system's PATH as the registry keeps it (unexpanded).
std::wstring systemPath()
{
    wchar_t value[32768] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kEnvironmentKey, L"Path", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, value, &size) != ERROR_SUCCESS)
        return L"(unreadable)";
    return value;
}

bool setSystemPath(const std::wstring& path)
{
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kEnvironmentKey, L"Path", REG_EXPAND_SZ, path.c_str(),
                           static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool keyExists(const wchar_t* key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

// A string of a file's version information, in the language it lists first.
std::string versionText(const QString& file, const wchar_t* name)
{
    const std::wstring path = wide(file);
    std::string data(GetFileVersionInfoSizeW(path.c_str(), nullptr), '\0');
    if (data.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()))
        return "(none)";
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return "(no translation)";
    const QString block = QStringLiteral("\\StringFileInfo\\%1%2\\")
                              .arg(translation[0], 4, 16, QLatin1Char('0'))
                              .arg(translation[1], 4, 16, QLatin1Char('0'));
    wchar_t* text = nullptr;
    if (!VerQueryValueW(data.data(), (block.toStdWString() + name).c_str(), reinterpret_cast<void**>(&text), &length))
        return "(no " + QString::fromWCharArray(name).toStdString() + ")";
    return QString::fromWCharArray(text).toStdString();
}

// Where a shortcut leads, as the shell resolves it.
QString shortcutTarget(const QString& link)
{
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink))))
        return {};
    QString target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(wide(link).c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target = QDir::fromNativeSeparators(QString::fromWCharArray(path));
        file->Release();
    }
    shellLink->Release();
    return target;
}

// The shortcuts in the all-users Start menu and on the public desktop.
QStringList shortcuts()
{
    QStringList links;
    for (const KNOWNFOLDERID& id : {FOLDERID_CommonStartMenu, FOLDERID_PublicDesktop}) {
        wchar_t* folder = nullptr;
        if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &folder))) {
            QDirIterator found(QString::fromWCharArray(folder), {QStringLiteral("*.lnk")}, QDir::Files,
                               QDirIterator::Subdirectories);
            while (found.hasNext())
                links << found.next();
        }
        CoTaskMemFree(folder);
    }
    return links;
}

class WindowsInstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(QFileInfo::exists(installer)) << "made by cpack in scripts/test-windows.sh";
        // What a run that stopped half way left: the installer would try to
        // run its uninstaller, gone with that run's folder.
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kVendorKey);
    }
    void TearDown() override
    {
        setSystemPath(originalPath);
        CoUninitialize();
    }

    // Installs silently into `folder` with `options`, and answers its status.
    long install(const std::wstring& options) const
    {
        return run(L"\"" + wide(installer) + L"\" /S " + options + L" /D=" + wide(folder));
    }
    long uninstall() const
    {
        return run(L"\"" + wide(folder + QStringLiteral("/Uninstall.exe")) + L"\" /S _?=" + wide(folder));
    }

    const QString installer = QStringLiteral(TORVIK_INSTALLER);
    const std::wstring originalPath = systemPath();
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Torvik Setup");
};

TEST_F(WindowsInstallerTest, ShortcutsLeadToInstalledFilesAndTheFileCarriesTheProgramsVersion)
{
    const QStringList before = shortcuts();
    ASSERT_EQ(install(L""), 0);

    QStringList installed;
    for (QDirIterator found(folder, QDir::Files, QDirIterator::Subdirectories); found.hasNext();)
        installed << found.next();
    std::map<std::string, std::string> made;  // shortcut name -> target, relative to the folder
    for (const QString& link : shortcuts()) {
        if (before.contains(link))
            continue;
        const QString target = shortcutTarget(link);
        EXPECT_TRUE(installed.contains(target, Qt::CaseInsensitive)) << link.toStdString() << " -> " << target.toStdString();
        made[QFileInfo(link).fileName().toStdString()] = QDir(folder).relativeFilePath(target).toStdString();
    }
    EXPECT_EQ(made, (std::map<std::string, std::string>{{"Torvik Setup.lnk", "torvik-setup.exe"},
                                                        {"Uninstall.lnk", "Uninstall.exe"}}));

    const QString program = folder + QStringLiteral("/torvik-setup.exe");
    EXPECT_EQ(versionText(program, L"ProductName"), "Torvik Setup");
    for (const wchar_t* name : {L"ProductName", L"ProductVersion", L"FileVersion", L"CompanyName", L"LegalCopyright"})
        EXPECT_EQ(versionText(installer, name), versionText(program, name)) << QString::fromWCharArray(name).toStdString();

    ASSERT_EQ(uninstall(), 0);
    EXPECT_EQ(shortcuts(), before);
    // Run in place, the uninstaller cannot remove itself on Windows.
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(QLatin1Char(' ')).toStdString(),
              QFileInfo::exists(folder + QStringLiteral("/Uninstall.exe")) ? "Uninstall.exe" : "");
    EXPECT_FALSE(keyExists(kUninstallKey));
    EXPECT_FALSE(keyExists(kVendorKey));
}

// PATH, 1023 characters at most as the installer reads and writes it: the
// folder is put on only when asked and when it fits, after an entry that
// begins like it, and the uninstaller takes it off again.
TEST_F(WindowsInstallerTest, PathGainsTheFolderOnlyWhenAskedAndWhenItFitsAndLosesItAgain)
{
    const std::wstring neighbour = originalPath + L";" + wide(folder) + L"\\bin";
    const std::wstring entry = L";" + wide(folder);
    // A PATH that the folder brings to 1023 characters, one longer by one,
    // and one the installer cannot read whole.
    auto padded = [&](std::size_t length) {
        return neighbour + L";C:\\" + std::wstring(length - neighbour.size() - 4, L'x');
    };
    const std::wstring fits = padded(1023 - entry.size());
    const std::wstring tooLong = padded(1024 - entry.size());
    const std::wstring unreadable = padded(1100);
    struct Case {
        std::wstring Before;
        const wchar_t* Options;
        std::wstring Installed;
    };
    const Case cases[] = {
        {neighbour, L"", neighbour},
        {neighbour, L"/PATH", neighbour + entry},
        {fits, L"/PATH", fits + entry},
        {tooLong, L"/PATH", tooLong},
        {unreadable, L"/PATH", unreadable},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(setSystemPath(c.Before));
        ASSERT_EQ(install(c.Options), 0);
        EXPECT_EQ(systemPath(), c.Installed) << c.Before.size();
        ASSERT_EQ(uninstall(), 0);
        EXPECT_EQ(systemPath(), c.Before) << c.Before.size();
    }
}

}  // namespace
