#include "gui/platform/Fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace {

void substitute(const QString& family, const QStringList& standIns)
{
    if (!QFontDatabase::hasFamily(family))
        QFont::insertSubstitutions(family, standIns);
}

}  // namespace

void RegisterFontSubstitutes()
{
#ifdef Q_OS_WIN
    // Windows draws text with a face's own hinting, which at the windows' 11
    // pixels makes the bold of "Liberation Sans" as thin as its regular face
    // (Wine, which has no "MS Sans Serif"): a face whose bold stays bold first.
    substitute(QStringLiteral("MS Sans Serif"),
               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
#else
    substitute(QStringLiteral("MS Sans Serif"),
               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
#endif
    substitute(QStringLiteral("Courier New"),
               {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"), QStringLiteral("DejaVu Sans Mono")});
#ifdef Q_OS_WIN
    // Message boxes, menus and the labels and buttons of Qt's own dialogs use
    // the faces of the system's message and menu fonts. Under Wine that is
    // "MS Shell Dlg", which Qt lists as present whether or not a font answers
    // to it; where none does, Windows draws in the first face it has (a serif
    // one). Then all of those fonts are drawn as the windows' font is, at the
    // system's size (setFont without a class name replaces every class's).
    QFont systemFont = QApplication::font();
    if (QFontInfo(systemFont).family() != systemFont.family()) {
        const QFont formFont = FormFont();
        systemFont.setFamily(QFontInfo(formFont).family());
        systemFont.setStyleStrategy(formFont.styleStrategy());
        QApplication::setFont(systemFont);
    }
#endif
}

QFont FormFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    // Smoothed: Wine's default, unsmoothed drawing of "Liberation Sans" at
    // 11 pixels loses thin glyphs ("I", "!").
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}
