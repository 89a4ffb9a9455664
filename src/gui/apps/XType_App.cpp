#include "XType_App.h"

#include "Logger.h"
#include "XApp.h"

namespace zemFinder {

namespace {
// Arrays longer than this are shortened to their first and last SHOWN_ENDS elements.
constexpr size_t SHORTEN_ABOVE = 10;
constexpr size_t SHOWN_ENDS = 5;

QString element_text(const zem::XTree* tree)
{
    const auto* app = dynamic_cast<const XApp*>(tree);
    return app ? app->toString() : (tree ? tree->typeName() : QStringLiteral("null"));
}

// The elements in order, or shortened: first five, the marker, last five.
QStringList shortened(const zem::XTree::TreeArray& array, const QString& marker)
{
    QStringList out;
    const size_t n = array.size();
    for (size_t i = 0; i < n; ++i) {
        if (n > SHORTEN_ABOVE && i == SHOWN_ENDS) {
            out << marker;
            i = n - SHOWN_ENDS - 1;
            continue;
        }
        out << element_text(array[i].get());
    }
    return out;
}
} // namespace

XType_App::XType_App() : zem::XTypeSupporter(QStringLiteral("app"))
{
    types.insert(XApp::type_name());
}

XType_App::~XType_App() = default;

std::unique_ptr<zem::XTree> XType_App::createTree(const QString& typeName) const
{
    if (auto tree = zem::XTypeSupporter::createTree(typeName))
        return tree;
    if (types.contains(typeName))
        return std::make_unique<XApp>();
    return nullptr;
}

QString XType_App::arrayAsString(const zem::XTree::TreeArray& array) const
{
    QString out = zem::xprintF(QStringLiteral("$ [$] "), XApp::type_name(), array.size()) + QLatin1Char('{');
    const QStringList parts = shortened(array, QString());
    for (int i = 0; i < parts.size(); ++i) {
        if (parts[i].isNull()) {
            out += QStringLiteral("..., ");
            continue;
        }
        out += QLatin1Char('(') + parts[i] + QLatin1Char(')');
        if (i + 1 < parts.size())
            out += QStringLiteral(", ");
    }
    return out + QLatin1Char('}');
}

void XType_App::showArray(const zem::XTree::TreeArray& array, int indent) const
{
    zem::Logger::log(shortened(array, QStringLiteral("...")).join(QLatin1Char(' ')), zem::LOG_PROGRESS, indent);
}

const XType_App& XType_App::for_store()
{
    static const XType_App instance;
    return instance;
}

const XType_App& XType_App::for_editor()
{
    static const XType_App instance;
    return instance;
}

const XType_App& XType_App::for_copies()
{
    static const XType_App instance;
    return instance;
}

} // namespace zemFinder
