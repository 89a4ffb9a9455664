#include "XAppManager.h"

#include "Logger.h"
#include "XAppDefaults.h"
#include "XTools.h"
#include "XType_App.h"

#include <QFile>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

const QString XAppManager::FILE_NAME = QStringLiteral("zemFind-apps.bin");
const QString XAppManager::KEY = QStringLiteral("programs");

namespace {
zem::XTree& store()
{
    static zem::XTree tree;
    return tree;
}

QFileInfo& store_file()
{
    static QFileInfo file;
    return file;
}
} // namespace

void XAppManager::set_file()
{
    set_file(zem::XTools::get_absolute_config_file_path(FILE_NAME));
}

void XAppManager::set_file(const QString& path)
{
    store_file() = QFileInfo(path);
}

QFileInfo XAppManager::file()
{
    return store_file();
}

bool XAppManager::load()
{
    const QString path = store_file().absoluteFilePath();
    if (!QFileInfo::exists(path)) {
        Logger::log(xprintF(QStringLiteral("XAppManager::load, '$' does not exist"), path), zem::LOG_OUT);
        return false;
    }
    if (store().load_from_compressed_file(path, &XType_App::for_store()))
        return true;
    const QString bad = path + QStringLiteral(".bad");
    QFile::remove(bad);
    const bool kept = QFile::rename(path, bad);
    Logger::log(xprintF(QStringLiteral("XAppManager::load, unreadable store kept as '$':$"), bad, kept),
                zem::LOG_ERROR);
    return false;
}

bool XAppManager::save()
{
    return store().save_as_compressed_file(store_file().absoluteFilePath(), &XType_App::for_store());
}

std::unique_ptr<zem::XTree> XAppManager::create_defaults()
{
    auto tree = std::make_unique<zem::XTree>();
    tree->treeArray(KEY).push_back(std::make_unique<XApp>(XAppDefaults::text_editor()));
    Logger::log(XType_App::for_store().arrayAsString(*tree->getTreeArray(KEY)), zem::LOG_PROGRESS);
    return tree;
}

void XAppManager::set_defaults()
{
    set_tree(*create_defaults());
}

std::unique_ptr<zem::XTree> XAppManager::get_copy()
{
    return store().create_copy(&XType_App::for_store());
}

std::vector<XApp*> XAppManager::get_apps()
{
    return apps_of(store());
}

void XAppManager::set_tree(const zem::XTree& tree)
{
    store().assign_copy(tree, &XType_App::for_store());
}

const zem::XTree& XAppManager::tree()
{
    return store();
}

std::vector<XApp*> XAppManager::apps_of(const zem::XTree& tree)
{
    std::vector<XApp*> out;
    if (const zem::XTree::TreeArray* array = tree.getTreeArray(KEY))
        for (const auto& entry : *array)
            if (auto* app = dynamic_cast<XApp*>(entry.get()))
                out.push_back(app);
    return out;
}

} // namespace zemFinder
