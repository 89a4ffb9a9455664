#include "TextExtensions.h"

namespace zem {

QStringList default_text_file_extensions()
{
    return {
        QStringLiteral("txt"),  QStringLiteral("log"),  QStringLiteral("md"),   QStringLiteral("csv"),
        QStringLiteral("tsv"),  QStringLiteral("ini"),  QStringLiteral("cfg"),  QStringLiteral("conf"),
        QStringLiteral("json"), QStringLiteral("xml"),  QStringLiteral("html"), QStringLiteral("htm"),
        QStringLiteral("css"),  QStringLiteral("js"),   QStringLiteral("ts"),   QStringLiteral("c"),
        QStringLiteral("h"),    QStringLiteral("cpp"),  QStringLiteral("hpp"),  QStringLiteral("cc"),
        QStringLiteral("cxx"),  QStringLiteral("hxx"),  QStringLiteral("java"), QStringLiteral("py"),
        QStringLiteral("rb"),   QStringLiteral("pl"),   QStringLiteral("sh"),   QStringLiteral("bat"),
        QStringLiteral("cmd"),  QStringLiteral("ps1"),  QStringLiteral("go"),   QStringLiteral("rs"),
        QStringLiteral("cs"),   QStringLiteral("sql"),  QStringLiteral("yaml"), QStringLiteral("yml"),
        QStringLiteral("toml"), QStringLiteral("tex"),  QStringLiteral("rst"),  QStringLiteral("qml"),
        QStringLiteral("pro"),  QStringLiteral("cmake"), QStringLiteral("mk"),  QStringLiteral("svg"),
        QStringLiteral("properties"), QStringLiteral("lua"), QStringLiteral("php"), QStringLiteral("kt"),
    };
}

QString default_text_file_extensions_as_string()
{
    return default_text_file_extensions().join(QLatin1Char(','));
}

} // namespace zem
