#include "shell/TableFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include "table/Columns.h"

namespace telvorn {

QFont TableFont()
{
    QFont font;
    const QStringList families{QString::fromLatin1(kTableFont.data(), qsizetype(kTableFont.size())),
                               QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                               QStringLiteral("Courier New")};
    font.setFamilies(families);
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(kTableFontPoints);
    font.setWeight(QFont::Normal);
    if (!QFontInfo(font).fixedPitch()) {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSizeF(kTableFontPoints);
        return fixed;
    }
    return font;
}

} // namespace telvorn
