#include "gui/platform/Fonts.h"

#include <QFontDatabase>
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
    substitute(QStringLiteral("MS Sans Serif"),
               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
    substitute(QStringLiteral("Courier New"),
               {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"), QStringLiteral("DejaVu Sans Mono")});
}

QFont FormFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}
