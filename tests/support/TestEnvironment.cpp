#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace {
std::unique_ptr<QTemporaryDir> g_root;
}

void SetUpTestEnvironment()
{
    g_root = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/qvt-test-XXXXXX"));
    const QString root = g_root->path();
    QDir().mkpath(root + QStringLiteral("/config"));
    QDir().mkpath(root + QStringLiteral("/runtime"));
    QDir().mkpath(root + QStringLiteral("/documents"));
    ::chmod(QFile::encodeName(root + QStringLiteral("/runtime")).constData(), 0700);
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")).constData(), 1);
    ::setenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")).constData(), 1);
    ::setenv("XDG_DOCUMENTS_DIR", QFile::encodeName(root + QStringLiteral("/documents")).constData(), 1);
    ::setenv("HOME", QFile::encodeName(root).constData(), 1);
}

QString TestRootDir()
{
    return g_root ? g_root->path() : QString();
}
