#include "working_files.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Entry
{
    std::string path;
    bool folder = false;
};

struct Listed
{
    std::mutex mutex;
    std::vector<Entry> paths;

    static Listed& instance()
    {
        static auto* listed = new Listed; // never destroyed: usable while the process ends
        return *listed;
    }
};

void list(const QString& path, bool folder)
{
    if (path.isEmpty()) {
        return;
    }
    Listed& listed = Listed::instance();
    const std::lock_guard lock(listed.mutex);
    listed.paths.push_back({QFile::encodeName(path).toStdString(), folder});
}

} // namespace

void working_files::add(const QString& path)
{
    list(path, false);
}

void working_files::addFolder(const QString& path)
{
    list(path, true);
}

void working_files::forget(const QString& path)
{
    const std::string native = QFile::encodeName(path).toStdString();
    Listed& listed = Listed::instance();
    const std::lock_guard lock(listed.mutex);
    std::erase_if(listed.paths, [&](const Entry& entry) { return entry.path == native; });
}

void working_files::removeAll(bool forget)
{
    Listed& listed = Listed::instance();
    const std::lock_guard lock(listed.mutex);
    // The last made first: a file goes before the folder that holds it.
    for (auto path = listed.paths.rbegin(); path != listed.paths.rend(); ++path) {
        if (path->folder) {
            QDir(QFile::decodeName(QByteArray::fromStdString(path->path))).removeRecursively();
        } else {
            ::unlink(path->path.c_str());
        }
    }
    if (forget) {
        listed.paths.clear();
    }
}
